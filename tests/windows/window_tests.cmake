# The window system's test and the end-to-end runs of the program under Wine. They need a
# display: each runs under its own Xvfb with a wineserver of its own
# (tests/e2e-windows/with_display.sh), one at a time. The end-to-end scripts share the Linux
# ones' helpers (tests/e2e/e2e_common.sh) and the Linux build's small test programs.
find_program(XVFB_RUN xvfb-run REQUIRED)
find_program(XDOTOOL xdotool REQUIRED)
set(e2e_dir ${PROJECT_SOURCE_DIR}/tests/e2e-windows)
set(with_display ${e2e_dir}/with_display.sh)
set(wine_run ${CMAKE_CURRENT_SOURCE_DIR}/wine_run.sh)

add_executable(windows_window_system_test window_system_test.cpp)
target_link_libraries(windows_window_system_test PRIVATE lw_platform gtest gtest_main)
set_target_properties(windows_window_system_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                            ${CMAKE_BINARY_DIR}/tests)
add_test(NAME windows_window_system_test
         COMMAND ${with_display} 1024x768x24 ${wine_run} ${LW_WINE_PREFIX}
                 $<TARGET_FILE:windows_window_system_test>)
set_tests_properties(windows_window_system_test PROPERTIES
  ENVIRONMENT "WINEPREFIX=${LW_WINE_PREFIX}" RUN_SERIAL ON TIMEOUT 180)

set(host ${LANTERNWHIRL_HOST_BUILD})
if(NOT EXISTS ${host}/tests/lw_send_close OR NOT EXISTS ${host}/show)
  message(FATAL_ERROR "The Windows end-to-end tests need the Linux build's tests and baked show "
                      "in ${host}: build it first (scripts/build-windows does)")
endif()
set(e2e_env
    DEMO=${e2e_dir}/run_demo.sh DEMO_EXE=$<TARGET_FILE:lanternwhirl> WINE_RUN=${wine_run}
    WINEPREFIX=${LW_WINE_PREFIX} WINEDEBUG=-all SHOW_DIR=${host}/show
    SEND_CLOSE=${host}/tests/lw_send_close MAKE_MODULE=${host}/tests/lw_make_test_module)
# Each script on a 1024 × 768 screen, where full screen at 640 × 480 is refused; the exact-mode
# run on a screen of that size.
foreach(script dialog_escape_then_close windowed_640x480 fullscreen_refused_no mesh_missing
               sound_device_fails show_plays_to_end fullscreen_exact_mode)
  set(screen 1024x768x24)
  if(script STREQUAL fullscreen_exact_mode)
    set(screen 640x480x24)
  endif()
  add_test(NAME e2e_windows_${script}
           COMMAND ${with_display} ${screen} bash ${e2e_dir}/${script}.sh)
  set_tests_properties(e2e_windows_${script} PROPERTIES
    ENVIRONMENT "${e2e_env}" RUN_SERIAL ON TIMEOUT 120 LABELS e2e-windows)
endforeach()
# The one full-length run: 106 seconds of show plus Wine's start and the loading.
set_tests_properties(e2e_windows_show_plays_to_end PROPERTIES TIMEOUT 300)
