# The .it module writer: tiny modules for the tests and the show's music for the baker.
add_library(lw_it_writer STATIC ${CMAKE_CURRENT_LIST_DIR}/it_writer.cpp)
target_include_directories(lw_it_writer PUBLIC ${CMAKE_CURRENT_LIST_DIR})
