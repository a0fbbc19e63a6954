# Packs the show for the page with Emscripten's file packager so that the same show always
# gives the same show.data and show.js: the files go in by name (the packager takes a folder's
# files in the order the file system lists them), named relative to the site (show.js names no
# build path), and the package's id, which the packager draws at random, comes from the hash of
# show.data. Run by web_site.cmake:
#   cmake -DPYTHON=... -DPACKAGER=... -DSHOW=show-folder -DSITE=site-folder -P pack_show.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SHOW} ${SHOW}/data/* ${SHOW}/gfx/*)
list(SORT files)
set(preload)
foreach(f IN LISTS files)
  list(APPEND preload ${SHOW}/${f}@/${f})
endforeach()
execute_process(COMMAND ${PYTHON} ${PACKAGER} show.data --preload ${preload} --js-output=show.js
                WORKING_DIRECTORY ${SITE} COMMAND_ERROR_IS_FATAL ANY)

file(SHA256 ${SITE}/show.data hash)
string(REGEX REPLACE "^(........)(....)(....)(....)(............).*" "\\1-\\2-\\3-\\4-\\5" id ${hash})
file(READ ${SITE}/show.js script)
set(uuid "[0-9a-f]+-[0-9a-f]+-[0-9a-f]+-[0-9a-f]+-[0-9a-f]+")
string(REGEX MATCHALL "\"package_uuid\": *\"${uuid}\"" ids "${script}")
list(LENGTH ids count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "show.js: expected one package_uuid, found ${count}")
endif()
string(REGEX REPLACE "(\"package_uuid\": *\")${uuid}\"" "\\1${id}\"" script "${script}")
file(WRITE ${SITE}/show.js "${script}")
