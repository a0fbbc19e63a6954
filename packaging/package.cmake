# The release: the manual page and the package's documents beside what the program, the show
# and the launcher install, and CPack's description of the Debian package and the tarball.
# scripts/package-deb builds both.
find_program(GZIP gzip)
set(doc_dir ${CMAKE_BINARY_DIR}/share/doc/lanternwhirl)
set(man_page ${CMAKE_BINARY_DIR}/share/man/man6/lanternwhirl.6.gz)
set(changelog ${doc_dir}/changelog.gz)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lanternwhirl.6.in ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6
               @ONLY)
# gzip -n: no name or time stamp inside, so the same sources give the same bytes.
add_custom_command(OUTPUT ${man_page}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man/man6
                   COMMAND ${GZIP} -9nc ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6 > ${man_page}
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6)
add_custom_command(OUTPUT ${changelog}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_dir}
                   COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${changelog}
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(lanternwhirl-docs ALL DEPENDS ${man_page} ${changelog})
install(FILES ${man_page} DESTINATION share/man/man6)
install(FILES ${changelog} ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION share/doc/lanternwhirl)

set(CPACK_PACKAGE_NAME lanternwhirl)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ketterfold: Lanternwhirl developers")
set(CPACK_PACKAGE_CONTACT "The Ketterfold: Lanternwhirl developers <lanternwhirl@ketterfold.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running real-time 3D demo with tracker music")
set(CPACK_PACKAGE_DESCRIPTION
    "Ketterfold: Lanternwhirl plays a fixed show of about 106 seconds in step with\n"
    "tracker music: three keyframe-animated 3D scenes, a metaball effect and\n"
    "pictures blended over them, drawn with OpenGL. A setup dialog picks the\n"
    "screen size, a window or full screen, and sound or silence.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_GENERATOR DEB TGZ) # scripts/package-deb runs each on its own
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
# The tarball holds the same tree under one folder; unpacked anywhere, its bin/lanternwhirl
# finds the show in its share/lanternwhirl.
set(CPACK_PACKAGE_FILE_NAME lanternwhirl-${PROJECT_VERSION}-linux-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the libraries the program links (dpkg-shlibdeps), and libgl1, whose
# libGL SDL opens itself to make the GL context.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libgl1-mesa-dri)
include(CPack)
