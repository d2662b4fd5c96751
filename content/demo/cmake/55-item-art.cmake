# The items' pictures: an icon for every item packed into the icon libraries
# IKONY00.LIB - IKONY02.LIB, the item lying on the floor (ITEMnn.PCX), worn
# items on the man's and the woman's figure (ITEMnnM.PCX, ITEMnnF.PCX) and
# thrown items in flight (FLYnnVP.PCX), painted by art/item_art_*.cpp straight
# into the items folder (graphics/items, see vorthan.ini). nn is the item's
# look number, its place in the demo's item list. Contact sheets of all of
# them (icons, floor, flight, bodies) are written to art/items/ for review,
# with body_positions.txt: the body_pos of each worn item.
set(item_art ${DEMO_SRC}/art)
add_executable(demo_art_items ${item_art}/item_art_main.cpp ${item_art}/item_art_paint.cpp
  ${item_art}/item_art_poses.cpp ${item_art}/item_art_weapons.cpp ${item_art}/item_art_armour.cpp
  ${item_art}/item_art_things.cpp ${item_art}/portrait_body.cpp ${item_art}/portrait_head.cpp
  ${item_art}/portrait_faces.cpp)
target_link_libraries(demo_art_items PRIVATE vorthan_forge vorthan_rules)
set(DEMO_ITEMS ${DEMO_OUT}/graphics/items)
set(DEMO_ITEM_SHEETS ${CMAKE_CURRENT_BINARY_DIR}/art/items)

set(item_art_outputs ${DEMO_ITEMS}/IKONY00.LIB ${DEMO_ITEMS}/IKONY01.LIB ${DEMO_ITEMS}/IKONY02.LIB)
foreach(look RANGE 0 44)
  string(LENGTH "${look}" digits)
  if(digits EQUAL 1)
    set(look "0${look}")
  endif()
  list(APPEND item_art_outputs ${DEMO_ITEMS}/ITEM${look}.PCX)
endforeach()
# Worn in slots 1-8: the weapons but the arrows, the shield, armour, clothes,
# jewels and the burning torch.
foreach(look 00 01 02 03 04 05 06 08 09 10 11 12 13 14 15 16 17 18 19 20 21 23)
  list(APPEND item_art_outputs ${DEMO_ITEMS}/ITEM${look}M.PCX ${DEMO_ITEMS}/ITEM${look}F.PCX)
endforeach()
foreach(look 00 07 08)
  foreach(view 0 1 2 3)
    foreach(phase 0 1 2 3)
      list(APPEND item_art_outputs ${DEMO_ITEMS}/FLY${look}${view}${phase}.PCX)
    endforeach()
  endforeach()
endforeach()
add_custom_command(OUTPUT ${item_art_outputs} ${DEMO_ITEM_SHEETS}/body_positions.txt ${DEMO_ITEM_SHEETS}/icons.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_ITEMS} ${DEMO_ITEM_SHEETS}
  COMMAND demo_art_items ${DEMO_ITEMS} --sheet ${DEMO_ITEM_SHEETS}
  DEPENDS demo_art_items
  COMMENT "Painting the items' icons and pictures")
demo_output(${item_art_outputs})
