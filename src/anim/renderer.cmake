# The scene renderer: draws a bound scene at a frame through one of its cameras.
add_library(lw_scene_renderer STATIC ${CMAKE_CURRENT_SOURCE_DIR}/scene_renderer.cpp)
target_include_directories(lw_scene_renderer PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lw_scene_renderer PUBLIC lw_anim lw_assets)
