# KORVEL_SANITIZERS=ON: every target built with the address and undefined-behaviour sanitizers, so
# the test suite runs against an instrumented program. Undefined behaviour stops the program (no
# recovery): a test that meets it fails instead of printing a warning nobody reads.
option(KORVEL_SANITIZERS "Build everything with the address and undefined-behaviour sanitizers" OFF)
if(KORVEL_SANITIZERS)
  set(KORVEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${KORVEL_SANITIZER_FLAGS})
  add_link_options(${KORVEL_SANITIZER_FLAGS})
endif()
