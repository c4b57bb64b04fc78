# `vexmon --config` over a settings file the test writes: the file's path,
# the keys it sets with their values, and the defaults for the others.
# cmake -DPROGRAM=vexmon -DOUT=dir -P ConfigTest.cmake
file(REMOVE_RECURSE ${OUT})
file(WRITE ${OUT}/vexmon/control.ini "[Other]\nSkin=Nope\n\n[Vexmon]\nSkin=Tiger\nSound=0\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${OUT} ${PROGRAM} --config
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR errors)
  message(FATAL_ERROR "vexmon --config failed (${result}): ${errors}")
endif()
set(expected "Settings file: ${OUT}/vexmon/control.ini\n[Vexmon]\nDir=${DIR}  (not set: the default)\nEngine=1  (not set: the default)\nSkin=Tiger\nSound=0\n")
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "expected:\n${expected}got:\n${output}")
endif()
