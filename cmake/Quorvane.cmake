# Helpers shared by every library, test and benchmark directory.

# quorvane_library(<name> DEPS <libs...>) makes the static library of the current
# directory from every source in it and its topic subfolders; headers are included
# as "<dir>/<File>.h" (or "<dir>/<topic>/<File>.h") from src/.
function(quorvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                           ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# quorvane_test(<name> DEPS <libs...> [TIMED <gtest filter>]) builds one GoogleTest
# executable from the sources of the current directory and its topic subfolders plus the
# shared test main, and registers its tests with ctest. A gallery/ subfolder is left out.
# The TIMED tests compare the processor times of two pieces of work done in one run: they run
# alone, as the whole suite's load stretches a thread's time unevenly and blurs the comparison
# (none bounds a time of its own: other work on the machine would fail it).
function(quorvane_test name)
  cmake_parse_arguments(ARG "" "TIMED" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/gallery/")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE quorvane_testsupport ${ARG_DEPS})
  if(ARG_TIMED)
    gtest_discover_tests(${name}
      TEST_FILTER "-${ARG_TIMED}"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 60)
    gtest_discover_tests(${name}
      TEST_FILTER "${ARG_TIMED}"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" RUN_SERIAL TRUE
      DISCOVERY_TIMEOUT 60)
  else()
    gtest_discover_tests(${name}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# quorvane_fuzzer(<name> <source> DEPS <libs...>) builds a fuzz target defining
# LLVMFuzzerTestOneInput. With QUORVANE_BUILD_FUZZERS (a clang build) it links libFuzzer;
# otherwise it links a driver that replays the files given on the command line, so the
# target is compiled (and its corpus can be replayed) in every build.
function(quorvane_fuzzer name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  if(QUORVANE_BUILD_FUZZERS)
    add_executable(${name} ${source})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${name} ${source} ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()
