# The items and the party's characters, from items/items.src and
# items/characters.src: ITEMS.DAT and COMBITEM.DAT go to the items folder
# (graphics/items, see vorthan.ini), POSTAVY.DAT to the maps folder where the
# game looks for it, the items' English texts (items.csv, the forge's own
# output) to lang/en and their Czech texts to lang/cz. The icon libraries
# and the items' pictures are the item art's outputs.
set(DEMO_ITEM_SOURCE ${DEMO_SRC}/items/items.src)
set(DEMO_ITEMS ${DEMO_OUT}/graphics/items)
set(DEMO_ITEM_STAGE ${CMAKE_CURRENT_BINARY_DIR}/items)

add_custom_command(OUTPUT ${DEMO_ITEM_STAGE}/ITEMS.DAT ${DEMO_ITEM_STAGE}/COMBITEM.DAT ${DEMO_ITEM_STAGE}/items.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_ITEM_STAGE}
  COMMAND ${FORGE} items -o ${DEMO_ITEM_STAGE} ${DEMO_ITEM_SOURCE}
  DEPENDS forge ${DEMO_ITEM_SOURCE}
  COMMENT "Items ITEMS.DAT, COMBITEM.DAT and items.csv")

# demo_item_file(<staged name> <destination>)
function(demo_item_file name destination)
  get_filename_component(folder ${destination} DIRECTORY)
  add_custom_command(OUTPUT ${destination}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_ITEM_STAGE}/${name} ${destination}
    DEPENDS ${DEMO_ITEM_STAGE}/${name}
    COMMENT "Placing ${name}")
  demo_output(${destination})
endfunction()

demo_item_file(ITEMS.DAT ${DEMO_ITEMS}/ITEMS.DAT)
demo_item_file(COMBITEM.DAT ${DEMO_ITEMS}/COMBITEM.DAT)
demo_item_file(items.csv ${DEMO_OUT}/lang/en/items.csv)

add_custom_command(OUTPUT ${DEMO_OUT}/lang/cz/items.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/cz
  COMMAND ${FORGE} csv ${DEMO_SRC}/items/items_cz.csv -o ${DEMO_OUT}/lang/cz/items.csv
  DEPENDS forge ${DEMO_SRC}/items/items_cz.csv
  COMMENT "Czech item texts lang/cz/items.csv")
demo_output(${DEMO_OUT}/lang/cz/items.csv)

add_custom_command(OUTPUT ${DEMO_OUT}/maps/POSTAVY.DAT
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/maps
  COMMAND ${FORGE} characters -o ${DEMO_OUT}/maps --items ${DEMO_ITEM_SOURCE} ${DEMO_SRC}/items/characters.src
  DEPENDS forge ${DEMO_ITEM_SOURCE} ${DEMO_SRC}/items/characters.src
  COMMENT "Characters POSTAVY.DAT")
demo_output(${DEMO_OUT}/maps/POSTAVY.DAT)
