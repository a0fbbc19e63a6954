# Tests of the sound module, the hall reverb, the .it writer and the show's music.
lw_add_test(NAME sound_reverb_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_reverb_test.cpp
            LIBS lw_sound)
lw_add_test(NAME sound_module_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_module_test.cpp
            LIBS lw_sound lw_it_writer)
lw_add_test(NAME sound_it_writer_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_it_writer_test.cpp
            LIBS lw_it_writer PkgConfig::OPENMPT)
if(TARGET lw_music)
  lw_add_test(NAME sound_music_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_music_test.cpp
              LIBS lw_music PkgConfig::OPENMPT)
endif()
