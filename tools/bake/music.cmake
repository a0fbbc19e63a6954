# The show's music: the baker writes it, and the music test checks it through libopenmpt.
add_library(lw_music STATIC ${CMAKE_CURRENT_LIST_DIR}/music.cpp)
target_include_directories(lw_music PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lw_music PUBLIC lw_it_writer)

target_sources(lanternwhirl-bake PRIVATE ${CMAKE_CURRENT_LIST_DIR}/music.cpp)
target_link_libraries(lanternwhirl-bake PRIVATE lw_it_writer)
