# Records the show twice with the same seed: both runs must succeed quietly,
# write the same bytes, leave the settings file alone (the show notes the
# scenes it has shown there in a real run), and the GIF must decode into
# enough changing frames.
# cmake -DPROGRAM=vexmon -DCHECK=vexmon_gif_check -DOUT=dir -P RecordTest.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
file(WRITE ${OUT}/config/vexmon/control.ini "[Vexmon]\nSound=1\n")
foreach(run first second)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${OUT}/config ${PROGRAM} --record ${OUT}/${run}.gif --seconds 20 --seed 7
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "vexmon --record failed (${result}): ${output}${errors}")
  endif()
  if(errors)
    message(FATAL_ERROR "vexmon --record complained: ${errors}")
  endif()
  if(NOT output MATCHES "vexmon: 5 of 20 s recorded\n.*vexmon: 500 frames \\(20 s\\) written to [^\n]*/${run}.gif\n$")
    message(FATAL_ERROR "unexpected output: ${output}")
  endif()
endforeach()
file(READ ${OUT}/config/vexmon/control.ini settings)
if(NOT settings STREQUAL "[Vexmon]\nSound=1\n")
  message(FATAL_ERROR "the recording changed the settings file: ${settings}")
endif()
file(SHA256 ${OUT}/first.gif first)
file(SHA256 ${OUT}/second.gif second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the same seed recorded different files")
endif()
execute_process(COMMAND ${CHECK} ${OUT}/first.gif 20 RESULT_VARIABLE result OUTPUT_VARIABLE output
  ERROR_VARIABLE errors)
message(STATUS "${output}${errors}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the recording does not hold 20 frames that show something")
endif()
