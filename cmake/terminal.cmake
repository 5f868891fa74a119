# The terminal front end as a platform part: raw keys from the controlling terminal and the fields as
# a line of text (its key decoder and text line are in the logic library).
target_sources(korvel_platform PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/terminal_window.cpp)
# The terminal window draws its fields with the logic library's text line.
target_link_libraries(korvel_platform PUBLIC korvel_logic)
