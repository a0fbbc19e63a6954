# The start-up sequence. reportError is left for the program (or test) that links it.
add_library(lw_startup STATIC ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp)
target_link_libraries(lw_startup PUBLIC lw_show_objects lw_metaballs lw_run_state lw_common)
