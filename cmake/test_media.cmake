# Media the C++ tests read instead of writing their own, made by the one generator
# (scripts/media.py) when the tests are built, under BRAMLOE_TEST_MEDIA_DIR: ID3v1 tags,
# a file NAME.tag each, read by tests/generated_media.h, and the voice setting's song.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BRAMLOE_TEST_MEDIA_DIR ${CMAKE_BINARY_DIR}/test-media)
file(MAKE_DIRECTORY ${BRAMLOE_TEST_MEDIA_DIR})
set(BRAMLOE_TEST_MEDIA_FILES)

# name, title, artist, then --spaces for texts padded with spaces rather than NULs.
macro(bramloe_test_tag name title artist)
  add_custom_command(OUTPUT ${BRAMLOE_TEST_MEDIA_DIR}/${name}.tag
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/media.py tag
            ${BRAMLOE_TEST_MEDIA_DIR}/${name}.tag "--title=${title}" "--artist=${artist}" ${ARGN}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/media.py VERBATIM)
  list(APPEND BRAMLOE_TEST_MEDIA_FILES ${BRAMLOE_TEST_MEDIA_DIR}/${name}.tag)
endmacro()

bramloe_test_tag(my_song "Ｍｙ Ｓｏｎｇ" "Foo")
bramloe_test_tag(my_song_spaced "Ｍｙ Ｓｏｎｇ" "Foo" --spaces)
bramloe_test_tag(gattsu_spaced "ｶﾞｯﾂ" "" --spaces)
bramloe_test_tag(alpha_spaced "Alpha" "" --spaces)
bramloe_test_tag(beta_spaced "Beta" "" --spaces)
bramloe_test_tag(no_title "" "Foo")
bramloe_test_tag(space_before_title " Song" "Bar")
bramloe_test_tag(space_before_artist "Song" " Baz")
bramloe_test_tag(spaces_before_nuls "Song  " "A  B                          ")
bramloe_test_tag(spaces_to_the_end "Song                          " "")
bramloe_test_tag(thirty_bytes "TTTTTTTTTTTTTTTTTTTTTTTTTTTTTT" "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA")
bramloe_test_tag(First-A "First" "A")
bramloe_test_tag(Again-B "Again" "B")
bramloe_test_tag(Other-C "Other" "C")
bramloe_test_tag(Settled-D "Settled" "D")
bramloe_test_tag(Later-F "Later" "F")
bramloe_test_tag(Elsewhere-E "Elsewhere" "E")
bramloe_test_tag(Moved-B "Moved" "B")
bramloe_test_tag(Title-Artist "Title" "Artist")
bramloe_test_tag(Title-Someone "Title" "Someone")
bramloe_test_tag(Exact "Exact" "")
bramloe_test_tag(First "First" "")
bramloe_test_tag(Later "Later" "")
# The voice setting's synthetic song, its three parts a channel each (tests/vocal_mix.h).
add_custom_command(OUTPUT ${BRAMLOE_TEST_MEDIA_DIR}/vocal_parts.wav
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/media.py vocal
          ${BRAMLOE_TEST_MEDIA_DIR}/vocal_parts.wav 10 --parts
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/media.py VERBATIM)
list(APPEND BRAMLOE_TEST_MEDIA_FILES ${BRAMLOE_TEST_MEDIA_DIR}/vocal_parts.wav)
add_custom_target(bramloe_test_media DEPENDS ${BRAMLOE_TEST_MEDIA_FILES})

# The test program reads the tags: the build makes them first.
function(bramloe_reads_test_media target media_dir)
  add_dependencies(${target} bramloe_test_media)
  target_compile_definitions(${target} PRIVATE BRAMLOE_TEST_MEDIA_DIR="${media_dir}")
endfunction()
