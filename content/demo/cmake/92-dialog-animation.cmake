# The warden's dialog animation (VARTYR.MGF, played by his dialog while he
# tells what happened): his speaker picture with a torch flickering on the
# wall behind him, painted frame by frame by art/dialog_anim_art.cpp from
# the speaker picture (27-speaker-art.cmake) and encoded by the forge into
# the dialogs folder. Every frame is a full picture: the dialog screen
# draws the still speaker picture over the animation whenever it is redrawn,
# and changes to a frame would leave the torch half painted.
add_executable(demo_art_dialog_anim ${DEMO_SRC}/art/dialog_anim_art.cpp)
target_link_libraries(demo_art_dialog_anim PRIVATE vorthan_forge)
set(DEMO_DIALOG_ANIM_ART ${CMAKE_CURRENT_BINARY_DIR}/art/dialog_anim)
set(DEMO_DIALOGS_FOLDER ${DEMO_OUT}/graphics/dialogs)
add_custom_command(OUTPUT ${DEMO_DIALOG_ANIM_ART}/00.png
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DEMO_DIALOG_ANIM_ART}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_DIALOG_ANIM_ART}
  COMMAND demo_art_dialog_anim ${DEMO_SPEAKER_ART}/warden.png ${DEMO_DIALOG_ANIM_ART}
  DEPENDS demo_art_dialog_anim ${DEMO_SPEAKER_ART}/warden.png
  COMMENT "Painting the warden's dialog animation")
add_custom_command(OUTPUT ${DEMO_DIALOGS_FOLDER}/VARTYR.MGF
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_DIALOGS_FOLDER}
  COMMAND ${FORGE} video ${DEMO_DIALOG_ANIM_ART}/%02d.png -o ${DEMO_DIALOGS_FOLDER}/VARTYR.MGF
          --no-sound --full-frames
  DEPENDS forge ${DEMO_DIALOG_ANIM_ART}/00.png
  COMMENT "Animation VARTYR.MGF")
demo_output(${DEMO_DIALOGS_FOLDER}/VARTYR.MGF)
