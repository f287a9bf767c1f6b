# Everything that needs Windows: the program's Win32 layers, the program, and the tests that run
# under Wine.
enable_language(RC)

# The same build is the release (scripts/release): nothing in the exe may depend on when or where it
# was built. No link time stamp in the PE header, and no source or build folder in any string.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
add_link_options(-Wl,--no-insert-timestamp)

# The version, written once as the project's version, for the version resource, the manifest and the
# About window. The resource compiler finds the made manifest through the include folder.
# The manifest names the exe's own processor: Windows refuses to start an exe whose manifest names
# another one (a side-by-side configuration error), though Wine lets it pass.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(QUORVEL_MANIFEST_ARCH x86)
else()
  set(QUORVEL_MANIFEST_ARCH amd64)
endif()
configure_file(${CMAKE_SOURCE_DIR}/src/res/version.h.in ${CMAKE_BINARY_DIR}/generated/quorvel_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/res/quorvel.manifest.in ${CMAKE_BINARY_DIR}/generated/quorvel.manifest @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
# The resource compiler's own dependency scan does not see the made manifest: a changed manifest must
# still be compiled in again.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/res/quorvel.rc ${CMAKE_SOURCE_DIR}/tools/floor/styled.rc
  PROPERTIES OBJECT_DEPENDS ${CMAKE_BINARY_DIR}/generated/quorvel.manifest)

quorvel_layer(base)
target_compile_definitions(quorvel_base PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(quorvel_base PUBLIC comctl32 gdi32 advapi32 user32 kernel32)
quorvel_layer(store base core)
quorvel_layer(registry base core)
quorvel_layer(launcher base core)
target_link_libraries(quorvel_launcher PUBLIC uuid)  # the shell link's GUIDs: data, no import
quorvel_layer(app store registry launcher base core)
quorvel_layer(ui app base core)
target_include_directories(quorvel_ui PRIVATE ${CMAKE_SOURCE_DIR}/src/res)  # resource.h: the resources' ids

add_executable(quorvel WIN32 ${CMAKE_SOURCE_DIR}/src/entry/winmain.cpp ${CMAKE_SOURCE_DIR}/src/res/quorvel.rc)
target_compile_options(quorvel PRIVATE ${QUORVEL_WARNINGS})
target_link_options(quorvel PRIVATE -municode -s)
target_link_libraries(quorvel PRIVATE quorvel_ui)

# Helpers shared by the Wine tests: scratch registry keys, temp folders, recorded prompts and view.
file(GLOB SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(quorvel_test_support STATIC ${SUPPORT_SOURCES})
target_include_directories(quorvel_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(quorvel_test_support PRIVATE ${QUORVEL_WARNINGS})
target_link_libraries(quorvel_test_support PUBLIC quorvel_ui GTest::gtest)

# The stand-in that tests start in place of Freelancer.exe.
add_executable(standin_game ${CMAKE_SOURCE_DIR}/tests/standin/standin_game.cpp)
target_link_options(standin_game PRIVATE -municode)

# A DLL beside the test programs that a system DLL's name lookup must never find (tests/edges).
add_library(planted SHARED ${CMAKE_SOURCE_DIR}/tests/edges/planted/planted.cpp)
set_target_properties(planted PROPERTIES PREFIX "")

foreach(area edges program windows crash)
  file(GLOB area_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*.cpp)
  if(area_sources)
    quorvel_test(${area}_tests DIRS ${area} LIBS quorvel_test_support shell32 ole32)
    add_dependencies(${area}_tests standin_game planted)
  endif()
endforeach()
if(TARGET windows_tests)
  # The real windows run in a program that, like quorvel.exe, says by its manifest that it is DPI aware
  # and uses Common Controls 6: a program that does not say so is drawn at 96 DPI and scaled, as Windows
  # (and Wine from version 9) does it.
  target_sources(windows_tests PRIVATE ${CMAKE_SOURCE_DIR}/src/res/quorvel.rc)
endif()
if(TARGET crash_tests)
  # Its process kills keep the wineserver busy; anything beside it slows to a crawl.
  set_tests_properties(crash_tests PROPERTIES RUN_SERIAL TRUE)
endif()

# The end-to-end player: the real quorvel.exe through its windows with real input, and the windows'
# pictures against docs/screenshots. It needs a display, so it is no ctest test: scripts/e2e runs it
# under a private Xvfb.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(E2E_SOURCES)
  add_executable(e2e_tests ${E2E_SOURCES} ${CMAKE_SOURCE_DIR}/src/res/quorvel.rc)
  target_compile_options(e2e_tests PRIVATE ${QUORVEL_WARNINGS})
  target_link_libraries(e2e_tests PRIVATE quorvel_test_support gdiplus ole32 shell32 uuid GTest::gtest GTest::gtest_main)
  add_dependencies(e2e_tests quorvel standin_game)
endif()

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(BENCH_SOURCES)
  add_executable(quorvel_bench ${BENCH_SOURCES})
  target_compile_options(quorvel_bench PRIVATE ${QUORVEL_WARNINGS})
  target_link_libraries(quorvel_bench PRIVATE quorvel_store psapi)
  target_link_options(quorvel_bench PRIVATE -municode)
  # The start-up group starts the real program and an empty-window program beside it.
  add_executable(quorvel_floor WIN32 ${CMAKE_SOURCE_DIR}/tools/floor/floor.cpp)
  target_link_options(quorvel_floor PRIVATE -municode -s)
  # The same floor with quorvel.exe's manifest and Common Controls 6 loaded: what visual styles cost by themselves.
  add_executable(quorvel_floor_styled WIN32 ${CMAKE_SOURCE_DIR}/tools/floor/floor.cpp ${CMAKE_SOURCE_DIR}/tools/floor/styled.rc)
  target_link_options(quorvel_floor_styled PRIVATE -municode -s)
  target_compile_definitions(quorvel_floor_styled PRIVATE QUORVEL_FLOOR_STYLED)
  target_link_libraries(quorvel_floor_styled PRIVATE comctl32)
  add_dependencies(quorvel_bench quorvel quorvel_floor quorvel_floor_styled)
endif()

# Printing at its edge, through a private CUPS queue and with no printer at all: scripts/test-extra
# starts the queue and runs it; ctest does not, as it needs that queue.
file(GLOB PRINT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/print/*.cpp)
if(PRINT_SOURCES)
  add_executable(print_tests ${PRINT_SOURCES})
  target_compile_options(print_tests PRIVATE ${QUORVEL_WARNINGS})
  target_link_libraries(print_tests PRIVATE quorvel_test_support GTest::gtest GTest::gtest_main)
endif()
