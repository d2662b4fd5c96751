# The shops, from shops/shops.src with the items named as in items/items.src:
# SHOPS.DAT goes to the maps folder, where the game looks for it, the shops'
# English names (shops.csv, the forge's own output) to lang/en and their
# Czech names to lang/cz.
set(DEMO_SHOP_SOURCE ${DEMO_SRC}/shops/shops.src)
set(DEMO_SHOP_STAGE ${CMAKE_CURRENT_BINARY_DIR}/shops)
add_custom_command(OUTPUT ${DEMO_SHOP_STAGE}/SHOPS.DAT ${DEMO_SHOP_STAGE}/shops.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_SHOP_STAGE}
  COMMAND ${FORGE} shops -o ${DEMO_SHOP_STAGE} --items ${DEMO_ITEM_SOURCE} ${DEMO_SHOP_SOURCE}
  DEPENDS forge ${DEMO_SHOP_SOURCE} ${DEMO_ITEM_SOURCE}
  COMMENT "Shops SHOPS.DAT and shops.csv")
add_custom_command(OUTPUT ${DEMO_OUT}/maps/SHOPS.DAT ${DEMO_OUT}/lang/en/shops.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/maps ${DEMO_OUT}/lang/en
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SHOP_STAGE}/SHOPS.DAT ${DEMO_OUT}/maps/SHOPS.DAT
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SHOP_STAGE}/shops.csv ${DEMO_OUT}/lang/en/shops.csv
  DEPENDS ${DEMO_SHOP_STAGE}/SHOPS.DAT ${DEMO_SHOP_STAGE}/shops.csv
  COMMENT "Placing SHOPS.DAT and shops.csv")
add_custom_command(OUTPUT ${DEMO_OUT}/lang/cz/shops.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/lang/cz
  COMMAND ${FORGE} csv ${DEMO_SRC}/shops/shops_cz.csv -o ${DEMO_OUT}/lang/cz/shops.csv
  DEPENDS forge ${DEMO_SRC}/shops/shops_cz.csv
  COMMENT "Czech shop names lang/cz/shops.csv")
demo_output(${DEMO_OUT}/maps/SHOPS.DAT ${DEMO_OUT}/lang/en/shops.csv ${DEMO_OUT}/lang/cz/shops.csv)
