# Every engine header compiled with the Windows compiler after
# platform/win32/WindowsApi.h (and once before it), and every name the headers
# use checked against the macros the Windows headers leave defined. An engine
# name that <windows.h> turns into a macro (GetMessage into GetMessageA) would
# otherwise rename members silently in the Windows backend only; here it fails
# the build and names the macro to remove in the wrapper.
#
# Included by the cross build, it adds the target `windows_headers` (built by
# default). Run with -P it does the check: QM_SOURCE_DIR, QM_OUT (a folder),
# QM_CXX and QM_FLAGS (a list) are given.

set(QM_ENGINE_HEADER_GLOBS
  platform/Platform.h model/*.h imaging/*.h stage/*.h animation/*.h scenes/*.h saver/*.h)

if(CMAKE_SCRIPT_MODE_FILE)
  set(globs)
  foreach(glob ${QM_ENGINE_HEADER_GLOBS})
    list(APPEND globs ${QM_SOURCE_DIR}/${glob})
  endforeach()
  file(GLOB_RECURSE headers RELATIVE ${QM_SOURCE_DIR} ${globs})
  list(SORT headers)
  set(wrapper "#include \"platform/win32/WindowsApi.h\"\n")
  set(includes "")
  foreach(header ${headers})
    string(APPEND includes "#include \"${header}\"\n")
  endforeach()
  file(MAKE_DIRECTORY ${QM_OUT})

  # The macros the engine's own headers bring (standard library ones included).
  file(WRITE ${QM_OUT}/engine_only.cpp "${includes}")
  execute_process(COMMAND ${QM_CXX} ${QM_FLAGS} -I${QM_SOURCE_DIR} -dM -E ${QM_OUT}/engine_only.cpp
                  OUTPUT_VARIABLE defined ERROR_VARIABLE errors RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "The engine headers do not preprocess for Windows:\n${errors}")
  endif()
  string(REGEX MATCHALL "#define [A-Za-z_][A-Za-z0-9_]*" engineMacros "${defined}")
  list(TRANSFORM engineMacros REPLACE "^#define " "")

  # Every identifier in the headers' code, comments and strings left out.
  set(names)
  foreach(header ${headers})
    file(READ ${QM_SOURCE_DIR}/${header} text)
    string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" " " text "${text}")
    string(REGEX REPLACE "//[^\n]*" "" text "${text}")
    string(REGEX REPLACE "\"([^\"\\\\\n]|\\\\.)*\"" " " text "${text}")
    string(REGEX REPLACE "'([^'\\\\\n]|\\\\.)*'" " " text "${text}")
    string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" found "${text}")
    list(APPEND names ${found})
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(REMOVE_ITEM names ${engineMacros})

  set(checks "")
  foreach(name ${names})
    string(APPEND checks "#ifdef ${name}\n#error \"${name}: an engine name that the Windows headers define as a macro; #undef it in platform/win32/WindowsApi.h\"\n#endif\n")
  endforeach()
  file(WRITE ${QM_OUT}/wrapper_first.cpp "${wrapper}${includes}${checks}")
  file(WRITE ${QM_OUT}/wrapper_last.cpp "${includes}${wrapper}${checks}")
  foreach(unit wrapper_first wrapper_last)
    execute_process(COMMAND ${QM_CXX} ${QM_FLAGS} -I${QM_SOURCE_DIR} -fsyntax-only ${QM_OUT}/${unit}.cpp
                    ERROR_VARIABLE errors RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Engine headers with <windows.h> (${unit}.cpp):\n${errors}")
    endif()
  endforeach()
  list(LENGTH headers count)
  message(STATUS "windows_headers: ${count} engine headers compile beside <windows.h>, no name is a macro")
  return()
endif()

set(QM_WINDOWS_HEADER_GLOBS)
foreach(glob ${QM_ENGINE_HEADER_GLOBS})
  list(APPEND QM_WINDOWS_HEADER_GLOBS ${PROJECT_SOURCE_DIR}/${glob})
endforeach()
file(GLOB_RECURSE QM_WINDOWS_CHECKED_HEADERS CONFIGURE_DEPENDS ${QM_WINDOWS_HEADER_GLOBS})
separate_arguments(QM_WINDOWS_CHECK_FLAGS UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
list(APPEND QM_WINDOWS_CHECK_FLAGS -std=c++20 ${QM_WARNINGS} -Werror)
list(REMOVE_DUPLICATES QM_WINDOWS_CHECK_FLAGS)
set(QM_WINDOWS_CHECK_STAMP ${CMAKE_BINARY_DIR}/windows_headers/checked.stamp)
add_custom_command(OUTPUT ${QM_WINDOWS_CHECK_STAMP}
  COMMAND ${CMAKE_COMMAND} -DQM_SOURCE_DIR=${PROJECT_SOURCE_DIR} -DQM_OUT=${CMAKE_BINARY_DIR}/windows_headers
          -DQM_CXX=${CMAKE_CXX_COMPILER} "-DQM_FLAGS=${QM_WINDOWS_CHECK_FLAGS}" -P ${CMAKE_CURRENT_LIST_FILE}
  COMMAND ${CMAKE_COMMAND} -E touch ${QM_WINDOWS_CHECK_STAMP}
  DEPENDS ${QM_WINDOWS_CHECKED_HEADERS} ${PROJECT_SOURCE_DIR}/platform/win32/WindowsApi.h ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Checking the engine headers against <windows.h>"
  VERBATIM)
add_custom_target(windows_headers ALL DEPENDS ${QM_WINDOWS_CHECK_STAMP})
