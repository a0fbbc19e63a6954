# What the tests of a cross-built target share: GoogleTest from Debian's sources, built with
# the rest, and the Linux inspector's dumps of the baked show that its loaders must match.

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The dumps file, made by the Linux build's inspector from its baked show.
set(LW_EXPECTED_DUMPS ${CMAKE_BINARY_DIR}/expected_dumps.txt)
set(host_inspect ${LANTERNWHIRL_HOST_BUILD}/bin/lanternwhirl-inspect)
add_custom_command(
  OUTPUT ${LW_EXPECTED_DUMPS}
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/expected_dumps.sh ${host_inspect}
          ${LANTERNWHIRL_HOST_BUILD}/show ${LW_EXPECTED_DUMPS}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/expected_dumps.sh ${host_inspect}
          ${LANTERNWHIRL_HOST_BUILD}/show/.bake-stamp
  COMMENT "Dumping the baked show with the Linux inspector"
  VERBATIM)
add_custom_target(lw_expected_dumps ALL DEPENDS ${LW_EXPECTED_DUMPS})

# The loaders test of this target: tests/cross/loaders_test.cpp against the dumps.
function(lw_add_loaders_test name)
  add_executable(${name} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/loaders_test.cpp ${ARGN})
  target_link_libraries(${name} PRIVATE lw_format_dumps gtest gtest_main)
  target_compile_definitions(${name} PRIVATE LW_EXPECTED_DUMPS="${LW_EXPECTED_DUMPS}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_dependencies(${name} lw_expected_dumps)
endfunction()
