# The sound module: libopenmpt rendering into an SDL audio callback, with the hall reverb.
add_library(lw_sound STATIC ${CMAKE_CURRENT_LIST_DIR}/sound.cpp ${CMAKE_CURRENT_LIST_DIR}/reverb.cpp)
target_include_directories(lw_sound PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lw_sound PUBLIC PkgConfig::OPENMPT PkgConfig::SDL2 lw_files)
