# The web site in build-web/site/: the page, its scripts, the program (.js and .wasm), the show's
# data/ and gfx/ as one package the page preloads into the program's file system, the licences
# of everything the site carries, the manifest and icons for installing it, and the service
# worker that keeps it offline. Any static web server can serve the folder, and the page also
# plays opened from the folder itself (file://), from the program and the show as scripts.

set(site_dir ${CMAKE_BINARY_DIR}/site)
set(web_dir ${PROJECT_SOURCE_DIR}/src/platform/web)
set(show_dir ${LANTERNWHIRL_HOST_BUILD}/show)

set_target_properties(lanternwhirl PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site_dir} SUFFIX .js)
# What the page calls: main, or one of its own modes instead; the mixer and the exit are kept
# by the platform layer itself. The file system is there for the preloaded package.
target_link_options(lanternwhirl PRIVATE
  "-sEXPORTED_FUNCTIONS=_main,_lanternwhirlPageMode"
  -sFORCE_FILESYSTEM=1
  "-sEXPORTED_RUNTIME_METHODS=ccall,HEAPF32,stringToNewUTF8")

# The show, packed by Emscripten's file packager (the same show giving the same bytes:
# cmake/pack_show.cmake): show.data and the show.js that loads it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(LW_FILE_PACKAGER ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py)
if(NOT EXISTS ${LW_FILE_PACKAGER})
  message(FATAL_ERROR "Emscripten's file packager is not at ${LW_FILE_PACKAGER}")
endif()
add_custom_command(
  OUTPUT ${site_dir}/show.data ${site_dir}/show.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site_dir}
  COMMAND ${CMAKE_COMMAND} -DPYTHON=${Python3_EXECUTABLE} -DPACKAGER=${LW_FILE_PACKAGER}
          -DSHOW=${show_dir} -DSITE=${site_dir} -P ${PROJECT_SOURCE_DIR}/cmake/pack_show.cmake
  DEPENDS ${show_dir}/.bake-stamp ${PROJECT_SOURCE_DIR}/cmake/pack_show.cmake
  COMMENT "Packing the show for the page"
  VERBATIM)

# The licences: the project's, and those of the libraries and the runtime compiled into the
# program.
set(licence_dir ${site_dir}/licenses)
set(tp ${PROJECT_SOURCE_DIR}/third_party)
set(licence_pairs
    ${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt
    ${tp}/libopenmpt-0.7.21/LICENSE libopenmpt-LICENSE.txt
    ${tp}/libjpeg-turbo-3.1.4.1/LICENSE.md libjpeg-turbo-LICENSE.md
    ${tp}/libjpeg-turbo-3.1.4.1/README.ijg libjpeg-turbo-README.ijg.txt
    ${tp}/gl4es-17f0894e/LICENSE gl4es-LICENSE.txt
    /usr/share/doc/emscripten/copyright emscripten-runtime-copyright.txt)
set(licence_commands)
set(licence_outputs)
set(licence_links)
while(licence_pairs)
  list(POP_FRONT licence_pairs from to)
  list(APPEND licence_commands COMMAND ${CMAKE_COMMAND} -E copy ${from} ${licence_dir}/${to})
  list(APPEND licence_outputs ${licence_dir}/${to})
  string(APPEND licence_links "<li><a href=\"${to}\">${to}</a></li>\n")
endwhile()
file(WRITE ${CMAKE_BINARY_DIR}/licenses-index.html
     "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
     "<title>Ketterfold: Lanternwhirl: licences</title></head><body>\n"
     "<h1>Licences</h1>\n<ul>\n${licence_links}</ul>\n</body></html>\n")
add_custom_command(
  OUTPUT ${licence_outputs} ${licence_dir}/index.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${licence_dir}
  ${licence_commands}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/licenses-index.html ${licence_dir}/index.html
  DEPENDS ${CMAKE_BINARY_DIR}/licenses-index.html
  COMMENT "Copying the licences"
  VERBATIM)

# The program's icon for the home screen and the install prompts, drawn by the host build's tool:
# 192 and 512 for the manifest, 180 for iOS.
set(make_icon ${LANTERNWHIRL_HOST_BUILD}/tools/lanternwhirl-make-icon)
set(icon_outputs)
foreach(size 180 192 512)
  add_custom_command(
    OUTPUT ${site_dir}/icon-${size}.png
    COMMAND ${make_icon} ${size} ${site_dir}/icon-${size}.png
    DEPENDS ${make_icon}
    VERBATIM)
  list(APPEND icon_outputs ${site_dir}/icon-${size}.png)
endforeach()

# The page: its HTML, its style and its scripts, one a concern, and its manifest.
set(page_files index.html page.css page.js dialogs.js window.js sound.js screen.js loading.js
    manifest.webmanifest)
list(TRANSFORM page_files PREPEND ${web_dir}/ OUTPUT_VARIABLE page_sources)
list(TRANSFORM page_files PREPEND ${site_dir}/ OUTPUT_VARIABLE page_outputs)
add_custom_command(
  OUTPUT ${page_outputs}
  COMMAND ${CMAKE_COMMAND} -E copy ${page_sources} ${site_dir}/
  DEPENDS ${page_sources}
  VERBATIM)

# Last, from all of the above: the program and the show as scripts for file://, site.js (the
# release and the sizes the progress line counts) and the service worker, sw.js.
set(pack_outputs ${site_dir}/lanternwhirl.wasm.js ${site_dir}/show.data.js ${site_dir}/site.js
    ${site_dir}/sw.js)
add_custom_command(
  OUTPUT ${pack_outputs}
  COMMAND ${Python3_EXECUTABLE} ${web_dir}/pack_site.py ${site_dir} ${web_dir}/sw.js.in
  DEPENDS ${web_dir}/pack_site.py ${web_dir}/sw.js.in ${page_outputs} ${icon_outputs}
          ${site_dir}/show.data ${site_dir}/show.js ${licence_outputs} lanternwhirl
  COMMENT "Writing the site's scripts for file:// and its service worker"
  VERBATIM)

# The zip of the site, to put on a host or to unzip and open from its folder, with a README.txt
# for whoever has only the download. scripts/zip-tree makes it the same bytes from the same files.
find_program(LW_ZIP zip REQUIRED) # for scripts/zip-tree
set(site_zip ${CMAKE_BINARY_DIR}/lanternwhirl-web.zip)
set(site_readme ${PROJECT_SOURCE_DIR}/packaging/web/README.txt)
add_custom_command(
  OUTPUT ${site_zip}
  COMMAND ${CMAKE_COMMAND} -E copy ${site_readme} ${CMAKE_BINARY_DIR}/README.txt
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/zip-tree ${site_zip} README.txt site
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${pack_outputs} ${site_readme} ${PROJECT_SOURCE_DIR}/scripts/zip-tree
  COMMENT "Zipping the site"
  VERBATIM)

add_custom_target(lanternwhirl-site ALL DEPENDS ${site_zip})
