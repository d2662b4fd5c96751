# The animations drawn over the map view, painted by art/view_anim_art.cpp
# and encoded by `forge video --no-sound`: the Spark's fire bolt (OHEN.MGF,
# which the spell names) and the melee weapons' slash (SEK.MGF, the items'
# attack animation) in the items folder, and the teleport's ring of light
# (teleport.mgf, which the game plays for a teleport with the visible flag)
# in the gui folder. A contact sheet of the frames is written next to them
# (art/view_anims/preview.png). demo_view_animations builds just these.
add_executable(demo_art_view_anims ${DEMO_SRC}/art/view_anim_art.cpp)
target_link_libraries(demo_art_view_anims PRIVATE vorthan_forge)
set(DEMO_VIEW_ANIM_ART ${CMAKE_CURRENT_BINARY_DIR}/art/view_anims)
# The painter writes the frame folders whole; the sheet is its last output.
add_custom_command(OUTPUT ${DEMO_VIEW_ANIM_ART}/preview.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_VIEW_ANIM_ART}
  COMMAND demo_art_view_anims ${DEMO_VIEW_ANIM_ART}
  DEPENDS demo_art_view_anims
  COMMENT "Painting the view animations")
set(view_anim_files "")
foreach(entry "ohen:graphics/items/OHEN.MGF" "sek:graphics/items/SEK.MGF" "teleport:graphics/basic/teleport.mgf")
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 frames)
  list(GET entry 1 file)
  get_filename_component(folder ${DEMO_OUT}/${file} DIRECTORY)
  add_custom_command(OUTPUT ${DEMO_OUT}/${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${FORGE} video ${DEMO_VIEW_ANIM_ART}/${frames}/%02d.png --no-sound -o ${DEMO_OUT}/${file}
    DEPENDS forge ${DEMO_VIEW_ANIM_ART}/preview.png
    COMMENT "View animation ${file}"
    VERBATIM)
  list(APPEND view_anim_files ${DEMO_OUT}/${file})
endforeach()
demo_output(${view_anim_files})
add_custom_target(demo_view_animations DEPENDS ${view_anim_files})
