#pragma once
// Item sources: readable text naming every item, compiled into ITEMS.DAT,
// items.csv and COMBITEM.DAT. Items are named in the source; the forge
// numbers them in the order they are written (the first is item 1).
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "rules/items_file.h"

namespace forge {

// A combination "a b -> c d" (d = 0: the three-number form), item numbers from 1.
struct item_combination {
    int first = 0;
    int second = 0;
    int result_first = 0;
    int result_second = 0;
};

struct compiled_items {
    items_file file;                     // picture and sound lists and the records
    std::vector<std::string> texts;      // per item, game code page: name, line break, description
    std::map<std::string, int> numbers;  // item name in the source -> item number (from 1)
    std::vector<item_combination> combinations;
};

// Compiles the UTF-8 source. Throws std::runtime_error "<source_name>:<line>:
// <what>" for the first fault: an unknown keyword or name, a repeated name, a
// bad number, a text outside the game code page or longer than 31 bytes.
compiled_items compile_item_source(std::string_view utf8_source, std::string_view source_name);

// The item number of a name, or throws "<source_name>:<line>: unknown item <name>".
int item_number_by_name(const compiled_items& items, std::string_view name, std::string_view source_name,
                        int line);

// items.csv in Windows-1250: text k names item k + 1.
std::string items_csv_text(const compiled_items& items);
// COMBITEM.DAT: one rule a line, items counted from 0.
std::string combitem_text(const compiled_items& items);

}  // namespace forge
