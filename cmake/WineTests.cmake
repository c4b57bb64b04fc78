# The test suites of the portable core, the headless backend and the Win32
# backend, cross-built as Windows programs and run under Wine: one CTest entry
# per program (each Wine start costs about a second), all sharing one Wine
# prefix inside the build folder, one wineserver and one X display, started by
# the fixture entry "wine_start" and stopped by "wine_stop"
# (tests/platform/win32/run-under-wine.sh).
#
# GoogleTest comes from Debian's source package (/usr/src/googletest), built
# with the cross compiler. Content made by host tools (the show's streams,
# the embedded main stream) comes from a native build: -DQM_HOST_BUILD=<dir>;
# without it the suites that need content are left out. Suites that need Linux
# libraries (SDL, FreeType and fontconfig, X11, libpng) are not built here;
# where a test asks for the FreeType drawing context, GDI's stands in.
#
# The lists below follow the native ones in tests/*/CMakeLists.txt.

set(QM_HOST_BUILD "" CACHE PATH "A native build folder whose content the cross build uses")
set(QM_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian package googletest)")
if(NOT EXISTS ${QM_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "QM_WINE_TESTS needs GoogleTest's sources in ${QM_GTEST_SOURCE} (apt-get install googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${QM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  # Their headers are someone else's: our warnings (and -Werror) stay off them.
  get_target_property(dirs ${lib} INTERFACE_INCLUDE_DIRECTORIES)
  set_target_properties(${lib} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${dirs}")
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

set(QM_WINE_RUNNER ${PROJECT_SOURCE_DIR}/tests/platform/win32/run-under-wine.sh)
set(QM_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
# Wine sees the build machine's root as drive Z:.
set(QM_BUILD_DIR_FOR_WINE "Z:${PROJECT_BINARY_DIR}")

add_test(NAME wine_start COMMAND ${QM_WINE_RUNNER} start ${QM_WINE_STATE})
add_test(NAME wine_stop COMMAND ${QM_WINE_RUNNER} stop ${QM_WINE_STATE})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine LABELS wine TIMEOUT 300)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# Called by quellmoor_test: the whole program is one entry, run under Wine.
function(quellmoor_wine_test name labels)
  add_test(NAME ${name} COMMAND ${QM_WINE_RUNNER} run ${QM_WINE_STATE} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS "${labels};wine" TIMEOUT 900
    ENVIRONMENT "QM_BUILD_DIR=${QM_BUILD_DIR_FOR_WINE}")
endfunction()

# Where a test asks platform/text for the FreeType context, GDI's is given.
quellmoor_library(qm_wine_text SOURCES tests/platform/win32/FontDrawingContextOnWindows.cpp
  LINK qm_platform_win32)

quellmoor_test(model_tests
  SOURCES tests/model/StreamReadersTest.cpp tests/model/ComponentTest.cpp tests/model/ComponentManagerTest.cpp
          tests/model/EventTest.cpp tests/model/TextTest.cpp
  LINK qm_model)

quellmoor_test(imaging_tests
  SOURCES tests/imaging/DibTest.cpp tests/imaging/DibLoadTest.cpp tests/imaging/CopyBitsTest.cpp
          tests/imaging/CopyBitsDifferentialTest.cpp tests/imaging/CopyBitsReference.cpp tests/imaging/SurfaceTest.cpp
          tests/imaging/WritersTest.cpp tests/imaging/RowBlendTest.cpp tests/imaging/RowCopyTest.cpp
  LINK qm_imaging)

quellmoor_library(stage_test_links SOURCES tests/stage/links/ModuleLinks.cpp LINK qm_model)
quellmoor_test(stage_tests
  SOURCES tests/stage/TimerTest.cpp tests/stage/LoopTest.cpp tests/stage/ClockTest.cpp
          tests/stage/DirtyRectsTest.cpp tests/stage/ComposeTest.cpp tests/stage/StageLoadTest.cpp
          tests/stage/InputTest.cpp tests/stage/LifecycleTest.cpp tests/stage/FadeTest.cpp tests/stage/DisposeTest.cpp
          tests/stage/SurfaceSwapTest.cpp tests/stage/SoundTest.cpp tests/stage/EventLinkRegistrationTest.cpp
  LINK qm_stage qm_platform_headless qm_wine_text stage_test_links)

quellmoor_test(animation_tests
  SOURCES tests/animation/PictureTest.cpp tests/animation/SpriteTest.cpp tests/animation/DirectorTest.cpp
          tests/animation/BalloonTest.cpp tests/animation/BalloonDrawingTest.cpp
          tests/animation/DirtyComposeTest.cpp tests/animation/PixieDrawingTest.cpp
          tests/animation/LifetimeTest.cpp tests/animation/SpriteCopyTest.cpp
  LINK qm_animation qm_platform_headless qm_wine_text)

# Balloons through GDI keep a manifest of their own (made under Wine).
quellmoor_library(qm_golden_frames SOURCES tests/golden/GoldenFrames.cpp LINK qm_imaging)
quellmoor_test(balloon_golden_tests SOURCES tests/golden/BalloonGoldenTest.cpp
  LINK qm_golden_frames qm_animation qm_platform_headless qm_wine_text)
target_compile_definitions(balloon_golden_tests PRIVATE QM_GOLDEN_DIR="Z:${PROJECT_SOURCE_DIR}/tests/golden"
  QM_GOLDEN_OUTPUT="${QM_BUILD_DIR_FOR_WINE}/tests/golden/output")

quellmoor_test(scenes_tests
  SOURCES tests/scenes/RandomTest.cpp tests/scenes/ReportTest.cpp tests/scenes/IniDocumentTest.cpp
          tests/scenes/ControlTest.cpp tests/scenes/ControlOnDiskTest.cpp tests/scenes/ContentPathsTest.cpp
          tests/scenes/FloaterTest.cpp tests/scenes/SceneFolderTest.cpp
  LINK qm_scenes qm_platform_headless)

quellmoor_test(saver_tests SOURCES tests/saver/CommandLineTest.cpp LINK qm_saver)

quellmoor_test(platform_headless_tests
  SOURCES tests/platform/headless/HeadlessPlatformTest.cpp tests/platform/headless/HeadlessServicesTest.cpp
  LINK qm_platform_headless qm_wine_text)
quellmoor_test(platform_backends_tests SOURCES tests/platform/BackendsTest.cpp LINK qm_platform_backends)
quellmoor_test(platform_drawing_canvas_tests SOURCES tests/platform/DrawingCanvasTest.cpp LINK qm_platform)

add_subdirectory(tests/platform/win32)

# The suites over the show's content, made by the native build's host tools.
if(QM_HOST_BUILD)
  set(host_content ${QM_HOST_BUILD}/content/Vexmon)
  set(host_embedded ${QM_HOST_BUILD}/content/EmbeddedContent.cpp)
  if(NOT EXISTS ${host_content}/QUELLMOOR.stream OR NOT EXISTS ${host_embedded})
    message(FATAL_ERROR "QM_HOST_BUILD=${QM_HOST_BUILD} has no built content: build it natively first")
  endif()
  set(QM_CONTENT_DIR "Z:${host_content}")
  if(NOT TARGET qm_embedded_content)
    configure_file(${PROJECT_SOURCE_DIR}/content/ContentDir.cpp.in ${CMAKE_BINARY_DIR}/content/ContentDir.cpp @ONLY)
    add_library(qm_embedded_content STATIC ${host_embedded} ${CMAKE_BINARY_DIR}/content/ContentDir.cpp)
    target_include_directories(qm_embedded_content PUBLIC ${PROJECT_SOURCE_DIR})
  endif()

  quellmoor_test(space_ship_tests
    SOURCES tests/scenes/SpaceShipTest.cpp tests/scenes/SpaceShipDrawTest.cpp
    LINK qm_scenes qm_platform_headless)
  target_compile_definitions(space_ship_tests PRIVATE
    QM_CONTENT_DIR="${QM_CONTENT_DIR}" QM_SHIP_PNG_DIR="${QM_BUILD_DIR_FOR_WINE}")

  quellmoor_test(show_tests
    SOURCES tests/scenes/SceneManagerTest.cpp tests/scenes/SceneTest.cpp tests/scenes/PlanetSceneTest.cpp
            tests/scenes/MeetingSceneTest.cpp tests/scenes/InShipSceneTest.cpp tests/scenes/MovingSceneTest.cpp
            tests/scenes/ShowTest.cpp
    LINK qm_scenes qm_platform_headless)
  target_compile_definitions(show_tests PRIVATE QM_CONTENT_DIR="${QM_CONTENT_DIR}")

  quellmoor_test(screensaver_tests SOURCES tests/saver/ScreensaverTest.cpp tests/saver/SaverSettingsTest.cpp
    LINK qm_saver qm_animation qm_platform_headless qm_embedded_content)
  quellmoor_test(saver_fault_tests SOURCES tests/saver/FaultInjectionTest.cpp
    LINK qm_saver qm_animation qm_platform_headless qm_wine_text qm_embedded_content)
  target_compile_definitions(saver_fault_tests PRIVATE QM_CONTENT_DIR="${QM_CONTENT_DIR}")
endif()
