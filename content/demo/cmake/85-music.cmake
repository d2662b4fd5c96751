# The music: each score of music/ rendered by the forge and encoded as MUS in
# the music folder, under the names the playlists give (the main menu's
# interface text 1, the maps' text 0).
set(DEMO_MUSIC ${DEMO_OUT}/music)
foreach(piece menu keep cellars crypt)
  string(TOUPPER ${piece} name)
  add_custom_command(OUTPUT ${DEMO_MUSIC}/${name}.MUS
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_MUSIC}
    COMMAND ${FORGE} music ${DEMO_SRC}/music/${piece}.score -o ${DEMO_MUSIC}/${name}.MUS
    DEPENDS forge ${DEMO_SRC}/music/${piece}.score
    COMMENT "Music ${name}.MUS")
  demo_output(${DEMO_MUSIC}/${name}.MUS)
endforeach()
