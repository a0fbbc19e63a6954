# The music module rendered offline, for the capture tool.
add_library(lw_module_render STATIC ${CMAKE_CURRENT_SOURCE_DIR}/module_render.cpp)
target_include_directories(lw_module_render PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lw_module_render PUBLIC lw_sound lw_files PkgConfig::OPENMPT)
