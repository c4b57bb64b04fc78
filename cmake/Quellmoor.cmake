# Shared build settings: warnings, sanitizers and small helpers.

set(QM_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(QM_WERROR)
  list(APPEND QM_WARNINGS -Werror)
endif()

if(QM_FUZZ)
  # Coverage for libFuzzer in every library, sanitizers everywhere.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(QM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Tests that open a real window load the system's X and GL drivers, which can
# leak and be unloaded before exit, leaving leak reports no suppression can
# name. Leak checking of our own code happens in the windowless tests.
set(QM_DISPLAY_TEST_ENV "LSAN_OPTIONS=detect_leaks=0" "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")

# quellmoor_library(NAME SOURCES... [LINK libs...])
# One static library per engine folder; headers are included as "folder/File.h".
function(quellmoor_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QM_WARNINGS})
  if(ARG_LINK)
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
  endif()
endfunction()

# quellmoor_test(NAME SOURCES... LINK libs... [LABELS labels...])
function(quellmoor_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QM_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LINK} GTest::gtest GTest::gtest_main GTest::gmock)
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(QM_WINE_TESTS)
    # Windows programs: one entry each, run under Wine (cmake/WineTests.cmake).
    quellmoor_wine_test(${name} "${ARG_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QM_BUILD_DIR=${PROJECT_BINARY_DIR}")
  endif()
endfunction()
