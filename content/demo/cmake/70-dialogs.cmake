# The conversations, from dialogs/*.src (items named from items/items.src,
# characters from items/characters.src): DIALOGY.DAT goes to the maps folder
# where the game looks for it, the English texts (dialogs.csv, keyed by the
# offsets of the Czech texts in DIALOGY.DAT) to lang/en.
set(DEMO_DIALOG_SOURCES
  ${DEMO_SRC}/dialogs/warden.src ${DEMO_SRC}/dialogs/prisoner.src ${DEMO_SRC}/dialogs/merchant.src)
set(DEMO_DIALOG_STAGE ${CMAKE_CURRENT_BINARY_DIR}/dialogs)

add_custom_command(OUTPUT ${DEMO_DIALOG_STAGE}/DIALOGY.DAT ${DEMO_DIALOG_STAGE}/dialogs.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_DIALOG_STAGE}
  COMMAND ${FORGE} dialogs -o ${DEMO_DIALOG_STAGE} --items ${DEMO_SRC}/items/items.src
          --characters ${DEMO_SRC}/items/characters.src ${DEMO_DIALOG_SOURCES}
  DEPENDS forge ${DEMO_DIALOG_SOURCES} ${DEMO_SRC}/items/items.src ${DEMO_SRC}/items/characters.src
  COMMENT "Dialogs DIALOGY.DAT and dialogs.csv")

foreach(pair "DIALOGY.DAT:${DEMO_OUT}/maps" "dialogs.csv:${DEMO_OUT}/lang/en")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 name)
  list(GET pair 1 folder)
  add_custom_command(OUTPUT ${folder}/${name}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_DIALOG_STAGE}/${name} ${folder}/${name}
    DEPENDS ${DEMO_DIALOG_STAGE}/${name}
    COMMENT "Placing ${name}")
  demo_output(${folder}/${name})
endforeach()
