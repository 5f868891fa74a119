# KORVEL_SANITIZERS=ON: every target built with the address and undefined-behaviour sanitizers, so
# the test suite runs against an instrumented program. Undefined behaviour stops the program (no
# recovery): a test that meets it fails instead of printing a warning nobody reads.
option(KORVEL_SANITIZERS "Build everything with the address and undefined-behaviour sanitizers" OFF)
if(KORVEL_SANITIZERS)
  set(KORVEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${KORVEL_SANITIZER_FLAGS})
  add_link_options(${KORVEL_SANITIZER_FLAGS})
endif()

# In the sanitizer build every test, and every program a test starts, runs with leak checking on,
# the known leaks of system libraries suppressed, and a stack trace for undefined behaviour: a plain
# ctest in the build folder runs them as the test script does. Call it once the tests of the
# folder are registered, naming the targets whose tests gtest_discover_tests finds.
function(korvel_sanitizer_test_environment)
  if(NOT KORVEL_SANITIZERS)
    return()
  endif()
  set(environment "ASAN_OPTIONS=detect_leaks=1" "UBSAN_OPTIONS=print_stacktrace=1"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/sanitizers/lsan.supp")
  get_property(registered DIRECTORY PROPERTY TESTS)
  if(registered)
    set_tests_properties(${registered} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  # Discovered tests exist only when ctest reads the folder, and gtest_discover_tests hands its
  # PROPERTIES on flattened, which splits a list of variables into property names. A script read
  # after the discovered lists sets the environment on them instead.
  set(script "")
  foreach(target IN LISTS ARGN)
    string(APPEND script "if(${target}_TESTS)\n"
      "  set_tests_properties(\${${target}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
      "endif()\n")
  endforeach()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/sanitizer_test_environment.cmake")
  file(WRITE "${file}" "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()
