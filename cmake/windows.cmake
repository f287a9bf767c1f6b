# Everything that needs Windows: the program, its Win32 edges and the tests that run under Wine.
enable_language(RC)

set(QUORVEL_WIN32_LIBS comctl32 comdlg32 gdi32 winspool advapi32 user32 kernel32 shell32 uxtheme)

quorvel_sources(WIN_SOURCES src/base src/store src/registry src/launcher src/app src/ui)
add_library(quorvel_win STATIC ${WIN_SOURCES})
target_include_directories(quorvel_win PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(quorvel_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
target_compile_options(quorvel_win PRIVATE ${QUORVEL_WARNINGS})
target_link_libraries(quorvel_win PUBLIC quorvel_core ${QUORVEL_WIN32_LIBS})

quorvel_sources(ENTRY_SOURCES src/entry)
add_executable(quorvel WIN32 ${ENTRY_SOURCES} ${CMAKE_SOURCE_DIR}/src/res/quorvel.rc)
target_compile_options(quorvel PRIVATE ${QUORVEL_WARNINGS})
target_link_options(quorvel PRIVATE -municode -s)
target_link_libraries(quorvel PRIVATE quorvel_win)

# Helpers shared by the Wine tests: scratch registry keys, temp folders, scripted prompts.
quorvel_sources(SUPPORT_SOURCES tests/support)
add_library(quorvel_test_support STATIC ${SUPPORT_SOURCES})
target_include_directories(quorvel_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_compile_options(quorvel_test_support PRIVATE ${QUORVEL_WARNINGS})
target_link_libraries(quorvel_test_support PUBLIC quorvel_win GTest::gtest)

foreach(area store registry launcher app ui print robustness crash)
  file(GLOB area_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${area}/*.cpp)
  if(area_sources)
    quorvel_test(${area}_tests DIRS tests/${area} LIBS quorvel_test_support)
  endif()
endforeach()

# The crash test's worker: the real program object saving, describing and deleting in a loop until
# the test kills it.
file(GLOB CRASH_WORKER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/crash/worker/*.cpp)
if(CRASH_WORKER_SOURCES AND TARGET crash_tests)
  add_executable(crash_worker ${CRASH_WORKER_SOURCES})
  target_compile_options(crash_worker PRIVATE ${QUORVEL_WARNINGS})
  target_include_directories(crash_worker PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(crash_worker PRIVATE quorvel_win)
  target_link_options(crash_worker PRIVATE -municode)
  add_dependencies(crash_tests crash_worker)
  # A thousand process kills keep the wineserver busy; anything beside it slows to a crawl.
  set_tests_properties(crash_tests PROPERTIES RUN_SERIAL TRUE)
endif()

# The stand-in game that launcher tests start in place of Freelancer.exe.
file(GLOB STANDIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/standin/*.cpp)
if(STANDIN_SOURCES)
  add_executable(standin_game ${STANDIN_SOURCES})
  target_link_options(standin_game PRIVATE -municode)
  foreach(t launcher_tests app_tests robustness_tests)
    if(TARGET ${t})
      add_dependencies(${t} standin_game)
    endif()
  endforeach()
endif()

file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(BENCH_SOURCES)
  add_executable(quorvel_bench ${BENCH_SOURCES})
  target_compile_options(quorvel_bench PRIVATE ${QUORVEL_WARNINGS})
  target_link_libraries(quorvel_bench PRIVATE quorvel_win)
  target_link_options(quorvel_bench PRIVATE -municode)
  target_link_libraries(quorvel_bench PRIVATE psapi)
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

# Pictures of every window for the documentation (scripts/screenshots).
add_executable(quorvel_screens ${CMAKE_SOURCE_DIR}/tools/screens/screens.cpp ${CMAKE_SOURCE_DIR}/src/res/quorvel.rc)
target_link_libraries(quorvel_screens PRIVATE quorvel_win)
target_link_options(quorvel_screens PRIVATE -municode)

# The end-to-end driver: plays the real quorvel.exe through its windows with real input. It needs a
# display, so it is no ctest test; scripts/e2e runs it under a private Xvfb.
file(GLOB E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(E2E_SOURCES)
  add_executable(e2e_tests ${E2E_SOURCES})
  target_include_directories(e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(e2e_tests PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  target_compile_options(e2e_tests PRIVATE ${QUORVEL_WARNINGS})
  target_link_libraries(e2e_tests PRIVATE GTest::gtest GTest::gtest_main user32 gdi32 advapi32)
  add_dependencies(e2e_tests quorvel standin_game)
endif()
