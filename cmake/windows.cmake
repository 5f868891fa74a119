# The Windows build, included by CMakeLists.txt when cross-building with cmake/mingw-w64.cmake:
# the Win32 platform layer, korvel.exe, and the unit, scenario and Win32 tests, run under Wine.
# The logic, the simulator library and the test sources come from the variables and globs the
# Linux build uses. The word files and korvel-sim come from a Linux build (KORVEL_LINUX_BUILD).

set(KORVEL_LINUX_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH
    "A Linux build of Korvel: its rendered wave folder and its korvel-sim serve the Windows tests")

# mingw-w64 declares the POSIX reentrant time functions (localtime_r) only when asked.
target_compile_definitions(korvel_logic PRIVATE _POSIX_THREAD_SAFE_FUNCTIONS)

# libcsv, which reads the CSV channel lists: Debian has no Windows build of it, so its source
# package (scripts/korvel-windows fetches it) is compiled here with the cross compiler.
set(KORVEL_LIBCSV_SOURCE_DIR "" CACHE PATH "Debian's libcsv source package, unpacked")
if(NOT EXISTS "${KORVEL_LIBCSV_SOURCE_DIR}/libcsv.c")
  message(FATAL_ERROR "KORVEL_LIBCSV_SOURCE_DIR must name Debian's unpacked libcsv source package "
                      "(scripts/korvel-windows fetches it)")
endif()
enable_language(C)
add_library(korvel_csv STATIC ${KORVEL_LIBCSV_SOURCE_DIR}/libcsv.c)
target_include_directories(korvel_csv PUBLIC ${KORVEL_LIBCSV_SOURCE_DIR})
target_compile_options(korvel_csv PRIVATE -w)  # upstream's code, upstream's warnings
target_link_libraries(korvel_logic PUBLIC korvel_csv)

# Sonic, which speeds up speech: the same way, from Debian's source package.
set(KORVEL_SONIC_SOURCE_DIR "" CACHE PATH "Debian's sonic source package, unpacked")
if(NOT EXISTS "${KORVEL_SONIC_SOURCE_DIR}/sonic.c")
  message(FATAL_ERROR "KORVEL_SONIC_SOURCE_DIR must name Debian's unpacked sonic source package "
                      "(scripts/korvel-windows fetches it)")
endif()
add_library(korvel_sonic STATIC ${KORVEL_SONIC_SOURCE_DIR}/sonic.c)
target_include_directories(korvel_sonic PUBLIC ${KORVEL_SONIC_SOURCE_DIR})
target_compile_options(korvel_sonic PRIVATE -w)

# Hamlib, for radios of every make: Debian has no Windows build of it either, so scripts/korvel-windows
# cross-builds its source with its own autotools into a static library under KORVEL_HAMLIB_PREFIX
# (declared in CMakeLists.txt, which leaves the Hamlib radio out without it). Its headers need no
# define for static use: they only import from a DLL when the build names one (DLL_EXPORT).
set(KORVEL_WINDOWS_HAMLIB OFF)
if(EXISTS "${KORVEL_HAMLIB_PREFIX}/lib/libhamlib.a")
  set(KORVEL_WINDOWS_HAMLIB ON)
  find_package(Threads REQUIRED)
  add_library(korvel_hamlib STATIC IMPORTED)
  # Hamlib's system libraries are those its libhamlib.la names (Winsock, for rigctld and network radios).
  set_target_properties(korvel_hamlib PROPERTIES
    IMPORTED_LOCATION "${KORVEL_HAMLIB_PREFIX}/lib/libhamlib.a"
    INTERFACE_INCLUDE_DIRECTORIES "${KORVEL_HAMLIB_PREFIX}/include"
    INTERFACE_LINK_LIBRARIES "ws2_32;Threads::Threads")
  target_link_libraries(korvel_logic PUBLIC korvel_hamlib)
  target_compile_definitions(korvel_logic PUBLIC KORVEL_HAVE_HAMLIB)
  # The Hamlib radio wakes the event wait through a Win32 event (windows.h).
  target_compile_definitions(korvel_logic PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
else()
  message(STATUS "No Hamlib for Windows (KORVEL_HAMLIB_PREFIX): korvel.exe is built without the Hamlib radio")
endif()

file(GLOB KORVEL_WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS src/platform/win32_*.cpp)
add_library(korvel_platform STATIC ${KORVEL_WIN32_PLATFORM_SOURCES} src/platform/speech_speed.cpp)
target_include_directories(korvel_platform PUBLIC src)
target_compile_definitions(korvel_platform PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(korvel_platform PUBLIC winmm gdi32 user32 ws2_32 ole32 oleaut32 sapi korvel_sonic)

# A window program (no console window beside the panel); src/app/main.cpp picks the Win32 layer.
file(GLOB KORVEL_APP_SOURCES CONFIGURE_DEPENDS src/app/*.cpp)
list(FILTER KORVEL_APP_SOURCES EXCLUDE REGEX "front_end\\.cpp$")  # the Linux choice of window or terminal
add_executable(korvel WIN32 ${KORVEL_APP_SOURCES})
target_link_libraries(korvel PRIVATE korvel_logic korvel_platform)

if(KORVEL_BUILD_TESTS)
  enable_testing()
  # GoogleTest from Debian's source package, built with the cross compiler.
  set(KORVEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KORVEL_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()

  file(GLOB KORVEL_SUPPORT_SOURCES CONFIGURE_DEPENDS ${KORVEL_SUPPORT_GLOBS})
  add_library(korvel_test_support STATIC ${KORVEL_SUPPORT_SOURCES})
  target_include_directories(korvel_test_support PUBLIC tests/support)
  target_link_libraries(korvel_test_support PUBLIC korvel_logic korvel_sim GTest::gtest)
  target_compile_options(korvel_test_support PUBLIC -Wno-missing-field-initializers)
  target_compile_definitions(korvel_test_support PUBLIC
    KORVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    KORVEL_BINARY_DIR="${CMAKE_BINARY_DIR}"
    KORVEL_WAVE_DIR="${KORVEL_LINUX_BUILD}/wave")

  # Under Wine every program start costs about a second, so a test binary runs whole, not test by
  # test. The unit and scenario tests are file-heavy and Wine's file calls slow: they run in two
  # shards side by side (ctest -j2), one Wine start each.
  file(GLOB KORVEL_UNIT_TESTS CONFIGURE_DEPENDS ${KORVEL_UNIT_TEST_GLOBS})
  # Without Hamlib the Hamlib radio is not there to test.
  if(NOT KORVEL_WINDOWS_HAMLIB)
    list(FILTER KORVEL_UNIT_TESTS EXCLUDE REGEX "/hamlib_radio_test\\.cpp$")
  endif()
  add_executable(korvel_tests ${KORVEL_UNIT_TESTS} ${CMAKE_SOURCE_DIR}/src/app/options.cpp)
  target_link_libraries(korvel_tests PRIVATE korvel_test_support GTest::gtest_main)
  set(KORVEL_TEST_SHARDS 2)
  math(EXPR lastShard "${KORVEL_TEST_SHARDS} - 1")
  foreach(shard RANGE ${lastShard})
    add_test(NAME korvel_tests_${shard} COMMAND korvel_tests --gtest_brief=1)
    set_tests_properties(korvel_tests_${shard} PROPERTIES TIMEOUT 300
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${KORVEL_TEST_SHARDS};GTEST_SHARD_INDEX=${shard}")
  endforeach()

  # The Win32 layer itself: serial ports over Wine COM links to korvel-sim, the window under X.
  file(GLOB KORVEL_WIN32_TESTS CONFIGURE_DEPENDS tests/windows/*.cpp)
  if(NOT KORVEL_WINDOWS_HAMLIB)
    list(FILTER KORVEL_WIN32_TESTS EXCLUDE REGEX "/win32_hamlib_[^/]*\\.cpp$")
  endif()
  if(KORVEL_WIN32_TESTS)
  add_executable(korvel_win32_tests ${KORVEL_WIN32_TESTS})
  target_link_libraries(korvel_win32_tests PRIVATE korvel_platform korvel_test_support GTest::gtest_main)
  add_test(NAME korvel_win32_tests
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/with-sim ${KORVEL_LINUX_BUILD}/korvel-sim
            ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:korvel_win32_tests>)
    set_tests_properties(korvel_win32_tests PROPERTIES TIMEOUT 300)
  endif()

  # End to end: korvel.exe under Wine against korvel-sim on a Wine COM port, keys through X.
  add_test(NAME korvel_windows_e2e
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/e2e-wine $<TARGET_FILE:korvel> ${KORVEL_LINUX_BUILD}/korvel-sim
            ${KORVEL_LINUX_BUILD}/wave)
  set_tests_properties(korvel_windows_e2e PROPERTIES TIMEOUT 300)

  # The rig server through Winsock, with Linux's rigctl as the client.
  add_test(NAME korvel_windows_rig_server
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/rig-server-wine $<TARGET_FILE:korvel> ${KORVEL_LINUX_BUILD}/korvel-sim
            ${KORVEL_LINUX_BUILD}/wave)
  set_tests_properties(korvel_windows_rig_server PROPERTIES TIMEOUT 300)

  # The system's speech: SAPI, or the word files after one line, and the keys as always.
  add_test(NAME korvel_windows_system_speech
    COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/system-speech-wine $<TARGET_FILE:korvel> ${KORVEL_LINUX_BUILD}/korvel-sim
            ${KORVEL_LINUX_BUILD}/wave)
  set_tests_properties(korvel_windows_system_speech PROPERTIES TIMEOUT 300)

  # Radios through Hamlib: its dummy radio (no serial port), and its FTDX10 backend on korvel-sim.
  if(KORVEL_WINDOWS_HAMLIB)
    add_test(NAME korvel_windows_hamlib
      COMMAND ${CMAKE_SOURCE_DIR}/tests/windows/hamlib-wine $<TARGET_FILE:korvel> ${KORVEL_LINUX_BUILD}/korvel-sim
            ${KORVEL_LINUX_BUILD}/wave)
    set_tests_properties(korvel_windows_hamlib PROPERTIES TIMEOUT 300)
  endif()

  # Every test under the build's own Wine prefix (scripts/korvel-windows makes it before the tests:
  # a first start takes several seconds), never the user's ~/.wine. The tests that open windows
  # (korvel_win32_tests and the korvel_windows_* drivers) each run in a copy of it
  # with a Wine server and an X server of their own (tests/windows/common.sh says why), so they
  # may run beside each other and beside the unit test shards, which run in the prefix itself and
  # on no display at all.
  set(KORVEL_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix" CACHE PATH "The Wine prefix the tests run in")
  get_property(windowsTests DIRECTORY PROPERTY TESTS)
  set_property(TEST ${windowsTests} APPEND PROPERTY ENVIRONMENT "WINEPREFIX=${KORVEL_WINE_PREFIX};WINEDEBUG=-all")
  foreach(shard RANGE ${lastShard})
    set_property(TEST korvel_tests_${shard} APPEND PROPERTY ENVIRONMENT_MODIFICATION "DISPLAY=unset:")
  endforeach()
endif()
