# The inventory screen's backdrop (ioblouk) and backpack cell (imriz1),
# painted by art/inventory_art.cpp, turned by the forge into PCX files and
# packed into VORTHAN.DDL; a mock-up is written next to the PNGs.
add_executable(demo_art_inventory ${DEMO_SRC}/art/inventory_art.cpp)
target_link_libraries(demo_art_inventory PRIVATE vorthan_forge)
set(DEMO_INVENTORY_ART ${CMAKE_CURRENT_BINARY_DIR}/art/inventory)
set(DEMO_INVENTORY_PICTURES ioblouk imriz1)
set(inventory_pngs "")
foreach(name ${DEMO_INVENTORY_PICTURES})
  list(APPEND inventory_pngs ${DEMO_INVENTORY_ART}/${name}.png)
endforeach()
add_custom_command(OUTPUT ${inventory_pngs} ${DEMO_INVENTORY_ART}/mockup.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_INVENTORY_ART}
  COMMAND demo_art_inventory ${DEMO_INVENTORY_ART} --mockup ${DEMO_INVENTORY_ART}/mockup.png
  DEPENDS demo_art_inventory
  COMMENT "Painting the inventory screen's pictures")
foreach(name ${DEMO_INVENTORY_PICTURES})
  add_custom_command(OUTPUT ${DEMO_PACK}/gui/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_PACK}/gui
    COMMAND ${FORGE} picture ${DEMO_INVENTORY_ART}/${name}.png -o ${DEMO_PACK}/gui/${name}.pcx
    DEPENDS forge ${DEMO_INVENTORY_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_PACK}/gui/${name}.pcx)
endforeach()
