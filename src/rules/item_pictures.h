// The items' pictures as handles: each picture set named by ITEMS.DAT (1 the
// floor, 2 and 3 the male and female bodies, 4 flight) is defined as a run of
// consecutive handles from ITEM_PICTURE_HANDLES upward, in set order, and the
// weapons' attack animations after them. Picture
// p of a set (its entry p, from 0) is the set's base + p. The pictures are
// 8-bit with ten fog palettes, read from the items folder on first use.
#pragma once

#include "core/handles.h"
#include "rules/items_file.h"

constexpr handle_id ITEM_PICTURE_HANDLES = 0x9000;
constexpr int ITEM_PICTURE_SETS = 4;
constexpr int ITEM_SET_FLOOR = 1;

// Defines the handles of every set (again: the previous definitions are
// undefined first). Names longer than a handle's name are left without a
// picture; sets that would pass the last handle are cut there.
void register_item_pictures(const items_file& names);
// The handle of attack animation `number` (the animations follow set 4, kept
// as the files' bytes), or 0 when there is no such animation.
handle_id item_animation_handle(int number);
// The handle of picture `number` of set 1..4, or 0 when the set has no such picture.
handle_id item_picture_handle(int set, int number);
