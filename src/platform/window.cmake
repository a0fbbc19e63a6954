# The window system on SDL2 and GTK 3: window, GL context, display modes, cursor, messages,
# message boxes, the setup dialog and the performance counter.
add_library(lw_platform STATIC window.cpp virtual_keys.cpp gtk_session.cpp message_box.cpp
                               setup_dialog.cpp)
target_include_directories(lw_platform PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lw_platform PUBLIC PkgConfig::SDL2 PkgConfig::GTK3 lw_resources)
