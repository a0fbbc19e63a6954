# The release: the manual page, the package's documents and the AppStream metadata beside
# what the program, the show and the launcher install, and CPack's description of the Debian
# package. scripts/package-deb builds it and the tarball.
#
# Whoever releases names themselves once, in LANTERNWHIRL_MAINTAINER: the package's
# maintainer, the changelog's signature, the copyright file's contact and the metadata's
# contact all come from it.
set(LANTERNWHIRL_MAINTAINER "The Ketterfold: Lanternwhirl developers <lanternwhirl@ketterfold.example>"
    CACHE STRING "Who releases the packages, as \"Name <address>\"")
if(NOT LANTERNWHIRL_MAINTAINER MATCHES "^[^<>]+ <([^<> ]+@[^<> ]+)>$")
  message(FATAL_ERROR "LANTERNWHIRL_MAINTAINER must read \"Name <address>\": ${LANTERNWHIRL_MAINTAINER}")
endif()
set(LANTERNWHIRL_MAINTAINER_MAIL ${CMAKE_MATCH_1})
option(LANTERNWHIRL_LICENSE_AT_TOP "Install LICENSE at the top of the tree, as the tarball has it" OFF)
set(app_id example.ketterfold.lanternwhirl)

find_program(GZIP gzip)
set(doc_dir ${CMAKE_BINARY_DIR}/share/doc/lanternwhirl)
set(man_page ${CMAKE_BINARY_DIR}/share/man/man6/lanternwhirl.6.gz)
set(changelog ${doc_dir}/changelog.gz)
set(metainfo ${CMAKE_BINARY_DIR}/share/metainfo/${app_id}.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lanternwhirl.6.in ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6
               @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright ${doc_dir}/copyright @ONLY)

# The metadata's releases are the changelog's entries: version, and the date of the signature
# line ("Tue, 08 Dec 2026 08:00:00 +0000"). The newest entry must be this version.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog changelog_lines REGEX "^(lanternwhirl \\(| -- )")
set(LANTERNWHIRL_RELEASES "")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^lanternwhirl \\(([^)]+)\\)")
    set(version ${CMAKE_MATCH_1})
    if(NOT LANTERNWHIRL_RELEASES AND NOT version STREQUAL PROJECT_VERSION)
      message(FATAL_ERROR "packaging/changelog begins with ${version}, the project is ${PROJECT_VERSION}")
    endif()
  elseif(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
      set(month 0${month})
    endif()
    string(APPEND LANTERNWHIRL_RELEASES
           "    <release version=\"${version}\" date=\"${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1}\"/>\n")
  endif()
endforeach()
if(NOT LANTERNWHIRL_RELEASES)
  message(FATAL_ERROR "packaging/changelog names no release")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/${app_id}.metainfo.xml.in ${metainfo} @ONLY)

# gzip -n: no name or time stamp inside, so the same sources give the same bytes.
add_custom_command(OUTPUT ${man_page}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/man/man6
                   COMMAND ${GZIP} -9nc ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6 > ${man_page}
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/lanternwhirl.6)
add_custom_command(OUTPUT ${changelog}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_dir}
                   COMMAND ${GZIP} -9nc ${CMAKE_BINARY_DIR}/packaging/changelog > ${changelog}
                   DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog)
add_custom_target(lanternwhirl-docs ALL DEPENDS ${man_page} ${changelog})
install(FILES ${man_page} DESTINATION share/man/man6)
install(FILES ${changelog} ${doc_dir}/copyright DESTINATION share/doc/lanternwhirl)
install(FILES ${metainfo} DESTINATION share/metainfo)
if(LANTERNWHIRL_LICENSE_AT_TOP)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
endif()

set(CPACK_PACKAGE_NAME lanternwhirl)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ketterfold: Lanternwhirl developers")
set(CPACK_PACKAGE_CONTACT ${LANTERNWHIRL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running real-time 3D demo with tracker music")
set(CPACK_PACKAGE_DESCRIPTION
    "Ketterfold: Lanternwhirl plays a fixed show of about 106 seconds in step with\n"
    "tracker music: three keyframe-animated 3D scenes, a metaball effect and\n"
    "pictures blended over them, drawn with OpenGL. A setup dialog picks the\n"
    "screen size, a window or full screen, and sound or silence.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
# The .deb. The tarball (the same tree under one folder, whose bin/lanternwhirl finds the show
# in its share/lanternwhirl) is written by scripts/package-deb with tar, in name order.
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends comes from the libraries the program links (dpkg-shlibdeps), and libgl1, whose
# libGL SDL opens itself to make the GL context.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libgl1-mesa-dri)
include(CPack)
