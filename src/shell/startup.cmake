# The show's global objects: the three scenes, their animations and the texture pool.
add_library(lw_show_objects STATIC ${CMAKE_CURRENT_SOURCE_DIR}/show_objects.cpp)
target_include_directories(lw_show_objects PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lw_show_objects PUBLIC lw_anim lw_assets)

# The start-up sequence. reportError is left for the program (or test) that links it.
add_library(lw_startup STATIC ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp)
target_link_libraries(lw_startup PUBLIC lw_show_objects lw_metaballs lw_shell_state lw_common)
