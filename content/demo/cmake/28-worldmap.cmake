# The world map: the valley painted from above by art/worldmap_art.cpp (the
# overview, the cellars' door drawn over it once the party has been down
# there, and the index picture whose pixels are the place numbers), turned
# into PCX files and packed into VORTHAN.DDL; worldmap/globmap.src compiled by
# the forge into GLOBMAP.DAT in the maps folder. A preview of the whole map is
# written next to the PNGs (art/worldmap/worldmap_preview.png).
add_executable(demo_art_worldmap ${DEMO_SRC}/art/worldmap_art.cpp)
target_link_libraries(demo_art_worldmap PRIVATE vorthan_forge)
set(DEMO_WORLDMAP_ART ${CMAKE_CURRENT_BINARY_DIR}/art/worldmap)
add_custom_command(OUTPUT ${DEMO_WORLDMAP_ART}/worldmap.png ${DEMO_WORLDMAP_ART}/wm_cell.png
                          ${DEMO_WORLDMAP_ART}/worldidx.pcx ${DEMO_WORLDMAP_ART}/worldmap_preview.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_WORLDMAP_ART}
  COMMAND demo_art_worldmap ${DEMO_WORLDMAP_ART}
  DEPENDS demo_art_worldmap
  COMMENT "Painting the world map")
set(DEMO_WORLDMAP_PCX ${DEMO_PACK}/worldmap)
foreach(name worldmap wm_cell)
  add_custom_command(OUTPUT ${DEMO_WORLDMAP_PCX}/${name}.pcx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_WORLDMAP_PCX}
    COMMAND ${FORGE} picture ${DEMO_WORLDMAP_ART}/${name}.png -o ${DEMO_WORLDMAP_PCX}/${name}.pcx
    DEPENDS forge ${DEMO_WORLDMAP_ART}/${name}.png
    COMMENT "Picture ${name}.pcx")
  demo_pack(${DEMO_WORLDMAP_PCX}/${name}.pcx)
endforeach()
# The index picture keeps its pixel values: it is copied, not converted.
add_custom_command(OUTPUT ${DEMO_WORLDMAP_PCX}/worldidx.pcx
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_WORLDMAP_PCX}
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_WORLDMAP_ART}/worldidx.pcx ${DEMO_WORLDMAP_PCX}/worldidx.pcx
  DEPENDS ${DEMO_WORLDMAP_ART}/worldidx.pcx
  COMMENT "Picture worldidx.pcx")
demo_pack(${DEMO_WORLDMAP_PCX}/worldidx.pcx)
add_custom_command(OUTPUT ${DEMO_OUT}/maps/GLOBMAP.DAT
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/maps
  COMMAND ${FORGE} globmap ${DEMO_SRC}/worldmap/globmap.src -o ${DEMO_OUT}/maps/GLOBMAP.DAT
  DEPENDS forge ${DEMO_SRC}/worldmap/globmap.src
  COMMENT "World map GLOBMAP.DAT")
demo_output(${DEMO_OUT}/maps/GLOBMAP.DAT)
