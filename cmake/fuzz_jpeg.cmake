# The fuzz build's libjpeg-turbo, in place of Debian's: the release in third_party/ (left as
# released) compiled with the fuzz targets' own instrumentation, so libFuzzer sees the
# decoder's branches and ASan and UBSan watch its memory. Static and without SIMD (the
# assembly would carry no coverage); arithmetic decoding is on, as in its default build.
include(ExternalProject)
set(fuzz_jpeg_source ${PROJECT_SOURCE_DIR}/third_party/libjpeg-turbo-3.1.4.1)
set(fuzz_jpeg_build ${CMAKE_BINARY_DIR}/third_party/fuzz-jpeg)
# The instrumentation options of the rest of the fuzz build (its warnings are not for this
# code), with debug lines for the reports.
get_directory_property(fuzz_jpeg_flags COMPILE_OPTIONS)
list(FILTER fuzz_jpeg_flags INCLUDE REGEX "^-f")
list(JOIN fuzz_jpeg_flags " " fuzz_jpeg_flags)
ExternalProject_Add(
  fuzz_libjpeg_turbo
  SOURCE_DIR ${fuzz_jpeg_source}
  BINARY_DIR ${fuzz_jpeg_build}
  CMAKE_ARGS -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER}
             -DCMAKE_BUILD_TYPE=Release
             "-DCMAKE_C_FLAGS=-g ${fuzz_jpeg_flags}"
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
             -DWITH_TURBOJPEG=OFF -DWITH_TOOLS=OFF -DWITH_TESTS=OFF -DWITH_SIMD=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${fuzz_jpeg_build}/libjpeg.a
  UPDATE_COMMAND ""
  USES_TERMINAL_BUILD OFF)
# jconfig.h is made in the build folder, the other public headers stay in src/.
file(MAKE_DIRECTORY ${fuzz_jpeg_build})
add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
set_target_properties(JPEG::JPEG PROPERTIES IMPORTED_LOCATION ${fuzz_jpeg_build}/libjpeg.a
                      INTERFACE_INCLUDE_DIRECTORIES "${fuzz_jpeg_build};${fuzz_jpeg_source}/src")
add_dependencies(JPEG::JPEG fuzz_libjpeg_turbo)
