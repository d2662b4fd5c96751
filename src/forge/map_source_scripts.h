#pragma once
// The readable names of map rules (action codes, side events) and the
// compiler of side scripts: one command per line with named parameters,
// labels for jumps, compiled into multiaction records in their slot form.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

// "open", "show_hide_2nd", ... or a number 0-255.
std::optional<int> action_code_by_name(std::string_view name);
// "used", "passed+blocked", "anim_end,changed", or a number (0x.. for hex).
std::optional<uint16_t> side_events_by_name(std::string_view names);
// The readable name of each side event bit, bit 0 first.
extern const char* const SIDE_EVENT_NAMES[16];
// The readable name of each action code 0-18.
extern const char* const ACTION_CODE_NAMES[19];

// A place a script names: a sector and a facing.
struct script_place {
    int sector = 0;
    int direction = 0;
};

// What the script compiler asks of the map compiler. Every lookup reports
// its own error (with the line) and returns nothing on failure.
struct script_context {
    // "x,y[,layer]" of an open cell, or a place of this map: the sector.
    std::function<std::optional<script_place>(const std::string& text, int line)> cell;
    // "x,y[,layer],direction" of a side, or a place of this map.
    std::function<std::optional<script_place>(const std::string& text, int line)> side;
    // A named place of another map (its file name as the game loads it).
    std::function<std::optional<script_place>(const std::string& map, const std::string& place, int line)>
        remote_place;
    // Whether the map's string table has text n.
    std::function<bool(int n)> has_text;
    // The number of an item given by its name (reports an unknown one).
    std::function<std::optional<int>(const std::string& name, int line)> item;
    std::function<void(int line, const std::string& message)> error;
};

struct script_line {
    int line = 0;
    std::string text;
};

// Compiles the lines of one side's script into its records (slot form:
// byte 0 command and markers, bytes 1-2 events, byte 3 the parameter byte,
// parameters from byte 4).
std::vector<std::vector<uint8_t>> compile_side_script(const std::vector<script_line>& lines,
                                                      const script_context& context);

}  // namespace forge
