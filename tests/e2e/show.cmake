# End-to-end runs of the show on the small test show written by make_show_data.
set(show_env MAKE_SHOW_DATA=$<TARGET_FILE:make_show_data>)
lw_add_e2e(SCRIPT ${here}/show_mesh_missing.sh ENV ${show_env})
lw_add_e2e(SCRIPT ${here}/show_image_missing.sh ENV ${show_env})
# The one full-length run: 106 seconds of show plus start and end.
lw_add_e2e(SCRIPT ${here}/show_plays_to_end.sh ENV ${show_env})
set_tests_properties(e2e_show_plays_to_end PROPERTIES TIMEOUT 200)
