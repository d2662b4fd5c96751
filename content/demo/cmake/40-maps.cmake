# The maps: each source in maps/ is compiled by the forge into the map file and
# its string table in the maps folder; the English texts go to lang/en. Items
# lying in the maps are named as items/items.src names them, monsters as
# monsters/monsters.src does.
set(DEMO_MAPS ${DEMO_OUT}/maps)
set(DEMO_LANG_EN ${DEMO_OUT}/lang/en)

# demo_map(<source> <FILE.MAP> [<linked source>...]): the linked sources are
# the maps named in the source's [links], whose places it reads.
function(demo_map source file)
  string(REGEX REPLACE "\\.[^.]*$" ".txt" table ${file})
  set(linked "")
  foreach(link ${ARGN})
    list(APPEND linked ${DEMO_SRC}/maps/${link})
  endforeach()
  add_custom_command(OUTPUT ${DEMO_MAPS}/${file} ${DEMO_MAPS}/${table}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_MAPS}
    COMMAND ${FORGE} map -o ${DEMO_MAPS}/${file} --items ${DEMO_SRC}/items/items.src
            --monsters ${DEMO_SRC}/monsters/monsters.src ${DEMO_SRC}/maps/${source}
    DEPENDS forge ${DEMO_SRC}/maps/${source} ${linked} ${DEMO_SRC}/items/items.src
            ${DEMO_SRC}/monsters/monsters.src
    COMMENT "Map ${file}")
  demo_output(${DEMO_MAPS}/${file} ${DEMO_MAPS}/${table})
endfunction()

# demo_map_translation(<source.csv> <table.csv>)
function(demo_map_translation source table)
  add_custom_command(OUTPUT ${DEMO_LANG_EN}/${table}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_LANG_EN}
    COMMAND ${FORGE} csv ${DEMO_SRC}/maps/en/${source} -o ${DEMO_LANG_EN}/${table}
    DEPENDS forge ${DEMO_SRC}/maps/en/${source}
    COMMENT "English map texts ${table}")
  demo_output(${DEMO_LANG_EN}/${table})
endfunction()

demo_map(keep.mapsrc KEEP.MAP cellars.mapsrc forest.mapsrc)
demo_map_translation(map_keep.csv map_KEEP.csv)
demo_map(cellars.mapsrc CELLARS.MAP keep.mapsrc crypt.mapsrc)
demo_map_translation(map_cellars.csv map_CELLARS.csv)
demo_map(forest.mapsrc LESPRED.MAP keep.mapsrc)
demo_map_translation(map_lespred.csv map_LESPRED.csv)
demo_map(crypt.mapsrc KRYPTA.MAP cellars.mapsrc)
demo_map_translation(map_crypt.csv map_KRYPTA.csv)
# Map titles by the maps' identity hash (see docs/formats.md); the ids are
# 32-bit hashes and the texts plain ASCII, so the source is copied as it is.
add_custom_command(OUTPUT ${DEMO_LANG_EN}/mapnames.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_LANG_EN}
  COMMAND ${CMAKE_COMMAND} -E copy ${DEMO_SRC}/maps/en/mapnames.csv ${DEMO_LANG_EN}/mapnames.csv
  DEPENDS ${DEMO_SRC}/maps/en/mapnames.csv
  COMMENT "English map titles mapnames.csv")
demo_output(${DEMO_LANG_EN}/mapnames.csv)
