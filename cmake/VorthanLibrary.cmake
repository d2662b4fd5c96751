# vorthan_library(<name> [DEPS lib...] [PUBLIC_DEPS lib...])
# Builds every .cpp in the calling folder into the static library vorthan_<name>.
function(vorthan_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(vorthan_${name} STATIC ${sources})
  target_include_directories(vorthan_${name} PUBLIC ${VORTHAN_SRC})
  target_link_libraries(vorthan_${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
endfunction()

# vorthan_test(<name> SOURCES ... LIBS ... [LABELS ...]) : one GoogleTest executable run by ctest.
# LABELS go to every discovered test (label "threads" selects the tests `make tsan-test` runs).
function(vorthan_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    VORTHAN_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    VORTHAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VORTHAN_BINARY_DIR="${CMAKE_BINARY_DIR}"
    VORTHAN_DEMO_DIR="${CMAKE_BINARY_DIR}/demo")
  # Games saved by tests (autosaves when a map is entered, say) go into the
  # build's own folder, never into the user's.
  set(test_env "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home")
  if(ARG_LABELS)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS "${ARG_LABELS}"
      ENVIRONMENT "${test_env}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 ENVIRONMENT "${test_env}")
  endif()
endfunction()
