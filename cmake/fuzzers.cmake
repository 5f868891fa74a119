# The libFuzzer targets, one per tests/fuzz/*.cpp (clang only). The program logic, the simulator and
# the test doubles are compiled once, instrumented for coverage and the sanitizers, and shared.
set(KORVEL_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -g)
file(GLOB KORVEL_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*.cpp)
file(GLOB KORVEL_FUZZ_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(korvel_fuzz_logic STATIC ${KORVEL_LOGIC_SOURCES} ${KORVEL_SIM_SOURCES} ${KORVEL_FUZZ_SUPPORT_SOURCES})
target_include_directories(korvel_fuzz_logic PUBLIC src sim tests/support)
target_link_libraries(korvel_fuzz_logic PUBLIC ${KORVEL_CSV_LIBRARY} ${KORVEL_HAMLIB_LIBRARY} Threads::Threads)
target_compile_definitions(korvel_fuzz_logic PUBLIC KORVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  KORVEL_BINARY_DIR="${CMAKE_BINARY_DIR}" KORVEL_WAVE_DIR="${KORVEL_WAVE_DIR}")
target_compile_options(korvel_fuzz_logic PUBLIC ${KORVEL_FUZZ_FLAGS} -fsanitize=fuzzer-no-link
  -Wno-missing-field-initializers)
foreach(src ${KORVEL_FUZZ_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE korvel_fuzz_logic)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer ${KORVEL_FUZZ_FLAGS})
endforeach()
