add_library(lw_startup STATIC startup.cpp)
target_link_libraries(lw_startup PUBLIC lw_shell_state lw_common)
