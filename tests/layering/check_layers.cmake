# Checks every #include "<library>/..." under SRC_DIR against the libraries
# each library may use, so that a lower library never comes to depend on a
# higher one. Run as: cmake -DSRC_DIR=<src> -P check_layers.cmake
#
# The layers, lowest first; a library may include itself and every library of
# a lower layer:
#   base < core < gfx, ui, platform < world, monsters, rules
#        < story, saves, sound, support < startup
# Within a layer only the edges listed in ALSO_<lib> are allowed.
# The forge writes the game's formats: it may use base, core and gfx, and of
# world only the map format it shares with the loader (world/map_format.h), and of
# rules only the item and character records and files (rules uses only base and core),
# and of monsters only the monster record, and of sound only the music format.
cmake_minimum_required(VERSION 3.25)
if(NOT SRC_DIR)
  message(FATAL_ERROR "SRC_DIR is not set")
endif()
get_filename_component(SRC_DIR "${SRC_DIR}" ABSOLUTE)

set(LAYER_base 0)
set(LAYER_core 1)
set(LAYER_gfx 2)
set(LAYER_ui 2)
set(LAYER_platform 2)
set(LAYER_world 3)
set(LAYER_monsters 3)
set(LAYER_rules 3)
set(LAYER_story 4)
set(LAYER_saves 4)
set(LAYER_sound 4)
set(LAYER_support 4)
set(LAYER_startup 5)

set(ALSO_platform gfx)
set(ALSO_ui gfx platform)
set(ALSO_monsters world)
set(ALSO_rules world monsters)
set(ALSO_story saves sound)

# Libraries outside the layers: what they may include, library by library or
# header by header.
set(ONLY_forge base core gfx world/map_format.h rules/item_record.h rules/items_file.h rules/shops/shops_file.h
    rules/party_record.h rules/spell_record.h monsters/monster_record.h story/dialog_format.h
    sound/mus_format.h)

file(GLOB_RECURSE sources RELATIVE ${SRC_DIR} ${SRC_DIR}/*.h ${SRC_DIR}/*.cpp)
list(SORT sources)
set(faults 0)
set(checked 0)
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" from "${source}")
  file(STRINGS ${SRC_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" to "${header}")
    math(EXPR checked "${checked} + 1")
    if(to STREQUAL from)
      continue()
    endif()
    set(allowed FALSE)
    if(DEFINED ONLY_${from})
      if(to IN_LIST ONLY_${from} OR header IN_LIST ONLY_${from})
        set(allowed TRUE)
      endif()
    elseif(NOT DEFINED LAYER_${from})
      set(why "${from} is not in the table of libraries")
    elseif(NOT DEFINED LAYER_${to})
      set(why "${to} is not a library the layers know")
    elseif(LAYER_${to} LESS LAYER_${from})
      set(allowed TRUE)
    elseif(to IN_LIST ALSO_${from})
      set(allowed TRUE)
    endif()
    if(NOT allowed)
      if(NOT why)
        set(why "${from} may not include ${to}")
      endif()
      message(SEND_ERROR "${source}: #include \"${header}\": ${why}")
      math(EXPR faults "${faults} + 1")
      unset(why)
    endif()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) break the layering")
endif()
message(STATUS "${checked} includes of ${SRC_DIR} follow the layering")
