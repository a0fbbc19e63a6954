# The Windows and web builds' own libopenmpt and libjpeg-turbo, and the web build's gl4es, built
# as static libraries from the release sources in third_party/ (left exactly as released). The
# Linux build uses Debian's.

set(LW_THIRD_PARTY ${PROJECT_SOURCE_DIR}/third_party)

# libopenmpt: it ships no CMake build, so its library sources are listed here the way its
# Makefile lists them, without zlib, mpg123, Ogg or Vorbis (the demo plays one .it module).
# The web build takes the 0.7 branch: 0.8 asks for a newer Emscripten than Debian's.
if(EMSCRIPTEN)
  set(openmpt_dir ${LW_THIRD_PARTY}/libopenmpt-0.7.21)
else()
  set(openmpt_dir ${LW_THIRD_PARTY}/libopenmpt-0.8.9)
endif()
# fileformat_base/ and soundfile_data/ exist from 0.8 on.
file(GLOB openmpt_sources CONFIGURE_DEPENDS
     ${openmpt_dir}/src/openmpt/all/*.cpp
     ${openmpt_dir}/src/openmpt/base/*.cpp
     ${openmpt_dir}/src/openmpt/logging/*.cpp
     ${openmpt_dir}/src/openmpt/random/*.cpp
     ${openmpt_dir}/common/*.cpp
     ${openmpt_dir}/src/openmpt/fileformat_base/*.cpp
     ${openmpt_dir}/src/openmpt/soundbase/*.cpp
     ${openmpt_dir}/src/openmpt/soundfile_data/*.cpp
     ${openmpt_dir}/soundlib/*.cpp
     ${openmpt_dir}/soundlib/plugins/*.cpp
     ${openmpt_dir}/soundlib/plugins/dmo/*.cpp
     ${openmpt_dir}/sounddsp/*.cpp
     ${openmpt_dir}/libopenmpt/*.cpp)
add_library(lw_openmpt STATIC ${openmpt_sources})
# libopenmpt (and gl4es, below) name the time they were built: in a release, SOURCE_DATE_EPOCH's,
# so that a rebuild gives the same program. GCC reads it itself; Emscripten's clang 14 does not.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  string(TIMESTAMP lw_build_date "%b %d %Y" UTC) # string(TIMESTAMP) reads SOURCE_DATE_EPOCH
  string(TIMESTAMP lw_build_time "%H:%M:%S" UTC)
  set(lw_build_stamp "__DATE__=\"${lw_build_date}\"" "__TIME__=\"${lw_build_time}\"")
  set_source_files_properties(${openmpt_dir}/common/version.cpp PROPERTIES
                              COMPILE_DEFINITIONS "${lw_build_stamp}")
endif()
# Its headers are included as <libopenmpt/libopenmpt.h>, as with Debian's package.
target_include_directories(lw_openmpt PUBLIC ${openmpt_dir})
target_include_directories(lw_openmpt PRIVATE ${openmpt_dir}/src ${openmpt_dir}/common)
# Linked statically: neither LIBOPENMPT_BUILD_DLL nor LIBOPENMPT_USE_DLL is defined.
target_compile_definitions(lw_openmpt PRIVATE LIBOPENMPT_BUILD)
target_compile_options(lw_openmpt PRIVATE -w)
# Release flags even in a debug build of the demo: a module mixed at -O0 stutters.
target_compile_options(lw_openmpt PRIVATE -O2)
if(WIN32)
  # UNICODE as the library asks on Windows.
  target_compile_definitions(lw_openmpt PRIVATE UNICODE _UNICODE NOMINMAX)
  target_link_libraries(lw_openmpt PUBLIC ole32 rpcrt4)
elseif(EMSCRIPTEN)
  target_compile_definitions(lw_openmpt PRIVATE MPT_BUILD_WASM)
endif()

# libjpeg-turbo: its own CMake build, run as an external project (it refuses add_subdirectory),
# static only, without the TurboJPEG API or tools.
include(ExternalProject)
set(jpeg_platform_args)
if(EMSCRIPTEN)
  # No SIMD in WebAssembly here. Its configure check measures size_t as 9 bytes under this
  # Emscripten; wasm32 has 4-byte size_t and unsigned long.
  list(APPEND jpeg_platform_args -DWITH_SIMD=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4
       -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4)
else()
  # Its SIMD code when nasm is there.
  find_program(LW_NASM nasm)
  if(LW_NASM)
    set(jpeg_simd ON)
  else()
    set(jpeg_simd OFF)
    message(STATUS "nasm not found: libjpeg-turbo is built without its SIMD code")
  endif()
  list(APPEND jpeg_platform_args -DWITH_SIMD=${jpeg_simd} -DREQUIRE_SIMD=${jpeg_simd}
       -DCMAKE_ASM_NASM_COMPILER=${LW_NASM})
endif()
set(jpeg_source ${LW_THIRD_PARTY}/libjpeg-turbo-3.1.4.1)
list(JOIN LANTERNWHIRL_PREFIX_MAPS " " jpeg_prefix_maps)
set(jpeg_build ${CMAKE_BINARY_DIR}/third_party/jpeg-build)
set(jpeg_prefix ${CMAKE_BINARY_DIR}/third_party/jpeg)
set(jpeg_library ${jpeg_prefix}/lib/libjpeg.a)
# Its own install step also copies the documentation, which the release tree here leaves out:
# only the library and the four public headers are taken.
ExternalProject_Add(
  libjpeg_turbo
  SOURCE_DIR ${jpeg_source}
  BINARY_DIR ${jpeg_build}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=Release
             # Without the build's paths, as the rest of the program.
             "-DCMAKE_C_FLAGS=${CMAKE_C_FLAGS} ${jpeg_prefix_maps}"
             # Its Windows default, c:/libjpeg-turbo-gcc64, is no path on the build machine.
             -DCMAKE_INSTALL_PREFIX=${jpeg_prefix}
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
             -DWITH_TURBOJPEG=OFF -DWITH_TOOLS=OFF -DWITH_TESTS=OFF
             ${jpeg_platform_args}
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  INSTALL_COMMAND
    ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a ${jpeg_library}
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/jconfig.h <SOURCE_DIR>/src/jpeglib.h
            <SOURCE_DIR>/src/jmorecfg.h <SOURCE_DIR>/src/jerror.h ${jpeg_prefix}/include
  BUILD_BYPRODUCTS ${jpeg_library}
  UPDATE_COMMAND ""
  USES_TERMINAL_BUILD OFF)
file(MAKE_DIRECTORY ${jpeg_prefix}/include ${jpeg_prefix}/lib)
add_library(JPEG::JPEG STATIC IMPORTED GLOBAL)
set_target_properties(JPEG::JPEG PROPERTIES IMPORTED_LOCATION ${jpeg_library}
                                            INTERFACE_INCLUDE_DIRECTORIES ${jpeg_prefix}/include)
add_dependencies(JPEG::JPEG libjpeg_turbo)

if(NOT EMSCRIPTEN)
  return()
endif()

# gl4es: OpenGL 1.x on OpenGL ES 2, which the browser has as WebGL. Its own CMake build writes
# into its source tree, so its sources are compiled here, as its src/CMakeLists.txt lists them
# for a build without X11 and EGL: src/gl/ and the hardware probe of src/glx/.
set(gl4es_dir ${LW_THIRD_PARTY}/gl4es-17f0894e)
file(GLOB gl4es_sources CONFIGURE_DEPENDS
     ${gl4es_dir}/src/gl/*.c ${gl4es_dir}/src/gl/wrap/*.c ${gl4es_dir}/src/gl/math/*.c)
# gl4es computes the fog distance of each pixel from the interpolated eye position. OpenGL 1.1
# drivers, and Mesa, compute it at each vertex and interpolate it, which looks different where a
# triangle reaches behind the eye (the metaball glow's do, and came out up to 18 dB off the
# native frames). gl4es has the per-vertex path too, behind four "#if 0 // vertex fog" lines:
# the build compiles a copy of fpe_shader.c with them switched on. third_party/ stays as released.
set(fpe_shader ${gl4es_dir}/src/gl/fpe_shader.c)
file(READ ${fpe_shader} fpe_source)
string(REGEX MATCHALL "#if 0 +// vertex fog" fpe_switches "${fpe_source}")
list(LENGTH fpe_switches fpe_switch_count)
if(NOT fpe_switch_count EQUAL 4)
  message(FATAL_ERROR "${fpe_shader}: expected 4 vertex-fog switches, found ${fpe_switch_count}")
endif()
string(REGEX REPLACE "#if 0( +// vertex fog)" "#if 1\\1" fpe_source "${fpe_source}")
set(fpe_vertex_fog ${CMAKE_BINARY_DIR}/third_party/gl4es/fpe_shader.c)
file(CONFIGURE OUTPUT ${fpe_vertex_fog} CONTENT "${fpe_source}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${fpe_shader})
list(REMOVE_ITEM gl4es_sources ${fpe_shader})
add_library(lw_gl4es STATIC ${gl4es_sources} ${fpe_vertex_fog} ${gl4es_dir}/src/glx/hardext.c)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set_source_files_properties(${gl4es_dir}/src/gl/build_info.c PROPERTIES
                              COMPILE_DEFINITIONS "${lw_build_stamp}")
endif()
# src/gl/ on the include path lets the copy find its neighbours' headers.
target_include_directories(lw_gl4es PRIVATE ${gl4es_dir}/include ${gl4es_dir}/src/util
                                            ${gl4es_dir}/src/glx ${gl4es_dir}/src/gl)
target_compile_definitions(lw_gl4es PRIVATE DEFAULT_ES=2 EGL_NO_X11 NOEGL NOX11 NO_GBM STATICLIB)
set_target_properties(lw_gl4es PROPERTIES C_STANDARD 11 C_EXTENSIONS ON)
target_compile_options(lw_gl4es PRIVATE -w -O2 -fvisibility=hidden)
