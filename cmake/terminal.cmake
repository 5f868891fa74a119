# The terminal front end: its key decoder and the text line of the fields are program logic (the
# fuzz targets and unit tests use them); the terminal itself belongs to the platform layer.
set(KORVEL_TERMINAL_LOGIC_SOURCES
  ${CMAKE_SOURCE_DIR}/src/platform/terminal_keys.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/text_fields.cpp)
list(APPEND KORVEL_LOGIC_SOURCES ${KORVEL_TERMINAL_LOGIC_SOURCES})
target_sources(korvel_logic PRIVATE ${KORVEL_TERMINAL_LOGIC_SOURCES})
target_sources(korvel_platform PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/terminal_window.cpp)
# The terminal window draws its fields with the logic library's text line.
target_link_libraries(korvel_platform PUBLIC korvel_logic)
