// Compiler of the readable map source into map records.
#include "forge/map_source.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <sstream>

#include "base/strings.h"
#include "forge/map_source_alcoves.h"
#include "forge/map_source_scripts.h"

namespace forge {
namespace {

constexpr int DIR_DX[4] = {0, 1, 0, -1};
constexpr int DIR_DY[4] = {-1, 0, 1, 0};
const char* const DIR_NAMES[4] = {"north", "east", "south", "west"};

constexpr uint32_t OPEN_SIDE = SIDE_TRANSPARENT | SIDE_AUTOMAP;
constexpr uint32_t WALL_SIDE =
    SIDE_P_VIS | SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING | SIDE_NOSOUND | SIDE_AUTOMAP;

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> split_words(std::string_view s) {
    std::vector<std::string> out;
    std::istringstream in{std::string(s)};
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::optional<long> to_number(std::string_view s) {
    long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

std::optional<int> to_direction(std::string_view s) {
    for (int d = 0; d < 4; ++d)
        if (s == DIR_NAMES[d] || (s.size() == 1 && s[0] == DIR_NAMES[d][0])) return d;
    if (auto n = to_number(s); n && *n >= 0 && *n <= 3) return static_cast<int>(*n);
    return std::nullopt;
}

enum class texture_group { wall, floor, ceiling, arch };

struct texture_ref {
    texture_group group;
    int index;  // 1-based within the group's list(s)
};

struct cell_kind {
    bool solid = false;
    int wall = 0;  // solid cells: the wall texture their neighbours show
    map_sector sector;
    uint16_t coord_flags = 0;
};

struct grid_row {
    std::string text;
    int line;
};

struct compiler {
    std::string source;
    map_source_result result;
    std::map<std::string, texture_ref> textures;
    std::map<char, cell_kind> legend;
    std::vector<std::pair<int, std::vector<grid_row>>> grids;  // layer -> rows
    struct pending {
        int line;
        std::string head;
        std::string body;
    };
    std::vector<pending> sector_lines, side_lines, item_lines, action_lines, place_lines, monster_lines,
        alcove_lines;
    // [script x y [layer] direction] sections: the head and the lines.
    struct script_section {
        int line;
        std::string head;
        std::vector<script_line> lines;
    };
    std::vector<script_section> scripts;
    std::map<std::string, std::string> links;  // map file name -> its source, from [links]
    map_place_resolver resolver;
    map_item_resolver item_names;
    map_monster_resolver monster_names;
    std::optional<std::tuple<int, int, int, int>> start;  // x, y, layer, direction
    int start_line = 0;
    int edge_wall = 0;
    int line_no = 0;

    void error(int line, const std::string& message) {
        result.errors.push_back(source + ":" + std::to_string(line) + ": " + message);
    }

    // ------------------------------------------------------------ names and flags

    std::optional<int> texture(const std::string& name, texture_group group, int line) {
        if (name == "none" || name == "0") return 0;
        auto it = textures.find(name);
        if (it == textures.end() || it->second.group != group) {
            static const char* kinds[] = {"wall", "floor", "ceiling", "arch"};
            error(line, "unknown " + std::string(kinds[static_cast<int>(group)]) + " texture '" + name + "'");
            return std::nullopt;
        }
        return it->second.index;
    }

    template <size_t N>
    bool apply_flags(const std::string& text, const std::array<const char*, N>& names, uint32_t& value,
                     int line, uint32_t allowed = 0xFFFFFFFFu) {
        size_t i = 0;
        bool ok = true;
        while (i < text.size()) {
            char op = text[i];
            if (op != '+' && op != '-') {
                error(line, "flag list '" + text + "' must be +NAME or -NAME items");
                return false;
            }
            size_t j = i + 1;
            while (j < text.size() && text[j] != '+' && text[j] != '-') ++j;
            std::string name = text.substr(i + 1, j - i - 1);
            int bit = -1;
            for (size_t b = 0; b < N; ++b)
                if (names[b][0] && name == names[b]) bit = static_cast<int>(b);
            if (bit < 0 || !(allowed >> bit & 1)) {
                error(line, "unknown flag '" + name + "'");
                ok = false;
            } else if (op == '+') {
                value |= 1u << bit;
            } else {
                value &= ~(1u << bit);
            }
            i = j;
        }
        return ok;
    }

    // "x,y" or "x,y,layer" of an open cell; layer defaults to `layer`.
    std::optional<int> cell_sector(const std::string& text, int layer, int line) {
        std::vector<long> v;
        std::stringstream in(text);
        std::string part;
        while (std::getline(in, part, ',')) {
            auto n = to_number(trim(part));
            if (!n) {
                error(line, "'" + text + "' is not x,y or x,y,layer");
                return std::nullopt;
            }
            v.push_back(*n);
        }
        if (v.size() < 2 || v.size() > 3) {
            error(line, "'" + text + "' is not x,y or x,y,layer");
            return std::nullopt;
        }
        int l = v.size() == 3 ? static_cast<int>(v[2]) : layer;
        auto it = result.sector_at.find({static_cast<int>(v[0]), static_cast<int>(v[1]), l});
        if (it == result.sector_at.end()) {
            error(line, "no open cell at " + text);
            return std::nullopt;
        }
        return it->second;
    }

    // ------------------------------------------------------------ sections

    void map_key(const std::string& key, const std::string& value, int line) {
        map_header& h = result.map.header;
        auto words = split_words(value);
        if (key == "title") {
            auto text = utf8_to_game_codepage(value);
            if (!text) return error(line, "title has characters outside the game code page");
            if (text->size() > 29) return error(line, "title is longer than 29 characters");
            h.title.fill(0);
            std::memcpy(h.title.data(), text->data(), text->size());
        } else if (key == "fade") {
            if (words.size() != 3) return error(line, "fade needs three numbers: red green blue");
            int32_t* channels[3] = {&h.fade_red, &h.fade_green, &h.fade_blue};
            for (int i = 0; i < 3; ++i) {
                auto n = to_number(words[i]);
                if (!n || *n < 0 || *n > 255) return error(line, "fade channels are 0..255");
                *channels[i] = static_cast<int32_t>(*n);
            }
        } else if (key == "start") {
            if (words.size() != 3 && words.size() != 4) return error(line, "start is: x y [layer] direction");
            auto x = to_number(words[0]), y = to_number(words[1]);
            auto l = words.size() == 4 ? to_number(words[2]) : std::optional<long>(0);
            auto d = to_direction(words.back());
            if (!x || !y || !l || !d) return error(line, "start is: x y [layer] direction");
            start = {static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*l), *d};
            start_line = line;
        } else if (key == "class") {
            auto n = to_number(value);
            if (!n || *n < 0 || *n > 255) return error(line, "class is a number 0..255");
            h.map_class = static_cast<uint8_t>(*n);
        } else if (key == "fog_gradient") {
            if (value == "yes" || value == "1")
                h.fog_gradient = 1;
            else if (value == "no" || value == "0")
                h.fog_gradient = 0;
            else
                error(line, "fog_gradient is yes or no");
        } else if (key == "backgrounds") {
            if (words.size() > 4) return error(line, "at most four background pictures");
            for (size_t i = 0; i < words.size(); ++i) {
                if (words[i].size() > 12) return error(line, "picture name longer than 12 characters");
                h.backgrounds[i].fill(0);
                std::memcpy(h.backgrounds[i].data(), words[i].data(), words[i].size());
            }
        } else if (key == "edge_wall") {
            pending_edge_wall = value;
            edge_wall_line = line;
        } else {
            error(line, "unknown map setting '" + key + "'");
        }
    }
    std::string pending_edge_wall;
    int edge_wall_line = 0;

    void texture_line(const std::string& left, const std::string& right, int line) {
        auto head = split_words(left);
        auto files = split_words(right);
        if (head.size() != 2) return error(line, "texture line is: kind name = pictures");
        static const struct {
            const char* kind;
            texture_group group;
            size_t files;
            std::array<int, 3> lists;
        } kinds[] = {
            {"wall", texture_group::wall, 3, {TEX_WALLS, TEX_LEFT_WALLS, TEX_RIGHT_WALLS}},
            {"floor", texture_group::floor, 1, {TEX_FLOORS, -1, -1}},
            {"ceiling", texture_group::ceiling, 1, {TEX_CEILINGS, -1, -1}},
            {"arch", texture_group::arch, 2, {TEX_LEFT_ARCHES, TEX_RIGHT_ARCHES, -1}},
        };
        for (const auto& k : kinds) {
            if (head[0] != k.kind) continue;
            if (files.size() != k.files)
                return error(line, head[0] + " textures name " + std::to_string(k.files) + " picture(s)");
            if (textures.count(head[1])) return error(line, "texture '" + head[1] + "' is defined twice");
            for (const auto& f : files)
                if (f.size() > 12)
                    return error(line, "picture name '" + f + "' is longer than 12 characters");
            auto& first = result.map.textures[k.lists[0]];
            int index = static_cast<int>(first.size()) + 1;
            int limit = k.group == texture_group::arch ? 15 : 255;
            if (index > limit)
                return error(line,
                             "too many " + head[0] + " textures (at most " + std::to_string(limit) + ")");
            for (size_t i = 0; i < k.files; ++i) result.map.textures[k.lists[i]].push_back(files[i]);
            textures[head[1]] = {k.group, index};
            return;
        }
        error(line, "texture kind is wall, floor, ceiling or arch");
    }

    void legend_line(const std::string& raw, int line) {
        std::string s = trim(raw);
        size_t eq = s.find('=', 1);
        if (s.empty() || eq == std::string::npos || trim(s.substr(1, eq - 1)) != "")
            return error(line, "legend line is: character = settings");
        char c = s[0];
        if (c == ' ' || c == ';' || c == '=')
            return error(line, "'" + std::string(1, c) + "' cannot be a cell");
        if (legend.count(c))
            return error(line, "legend character '" + std::string(1, c) + "' is defined twice");
        cell_kind kind;
        // An open cell is an ordinary sector (type 1) unless it says otherwise:
        // type 0 is no place at all, where no monster can be put.
        kind.sector.sector_type = 1;
        for (const std::string& token : split_words(s.substr(eq + 1))) {
            size_t e = token.find('=');
            std::string key = token.substr(0, e), value = e == std::string::npos ? "" : token.substr(e + 1);
            if (key == "wall") {
                kind.solid = true;
                if (auto t = texture(value, texture_group::wall, line)) kind.wall = *t;
            } else if (key == "shaded") {
                kind.coord_flags |= MC_SHADED;
            } else if (!sector_setting(kind.sector, kind.coord_flags, key, value, line, -1)) {
                error(line, "unknown cell setting '" + token + "'");
            }
        }
        legend[c] = kind;
    }

    // Settings shared by legend cells and sector lines; false when key is not one.
    bool sector_setting(map_sector& sec, uint16_t& coord_flags, const std::string& key,
                        const std::string& value, int line, int layer) {
        auto number = [&](long lo, long hi) -> std::optional<long> {
            auto n = to_number(value);
            if (!n || *n < lo || *n > hi) {
                error(line, key + " is a number " + std::to_string(lo) + ".." + std::to_string(hi));
                return std::nullopt;
            }
            return n;
        };
        if (key == "floor") {
            if (auto t = texture(value, texture_group::floor, line)) sec.floor = static_cast<uint8_t>(*t);
        } else if (key == "ceiling") {
            if (auto t = texture(value, texture_group::ceiling, line)) sec.ceiling = static_cast<uint8_t>(*t);
        } else if (key == "floor_mode") {
            if (auto n = number(0, 15))
                sec.surface_modes = static_cast<uint8_t>((sec.surface_modes & 0xF0) | *n);
        } else if (key == "ceiling_mode") {
            if (auto n = number(0, 15))
                sec.surface_modes = static_cast<uint8_t>((sec.surface_modes & 0x0F) | *n << 4);
        } else if (key == "type") {
            if (auto n = number(0, 255)) sec.sector_type = static_cast<uint8_t>(*n);
        } else if (key == "action") {
            if (auto a = action_code_by_name(value))
                sec.action = static_cast<uint8_t>(*a);
            else
                error(line, "unknown action '" + value + "'");
        } else if (key == "action_side") {
            auto d = to_direction(value);
            if (!d)
                error(line, "action_side is a direction");
            else
                sec.action_side = static_cast<uint8_t>(*d);
        } else if (key == "text") {
            if (auto n = number(0, 65535)) sec.action_target = static_cast<uint16_t>(*n);
        } else if (key == "coord") {
            uint32_t f = coord_flags;
            apply_flags(value, coord_flag_names, f, line);
            coord_flags = static_cast<uint16_t>(f);
        } else if (key == "target" && layer >= 0) {
            if (auto s = cell_sector(value, layer, line)) sec.action_target = static_cast<uint16_t>(*s);
        } else {
            return false;
        }
        return true;
    }

    // ------------------------------------------------------------ building

    const cell_kind* cell(int x, int y, int layer_index) const {
        const auto& rows = grids[static_cast<size_t>(layer_index)].second;
        if (y < 0 || static_cast<size_t>(y) >= rows.size() || x < 0) return nullptr;
        const std::string& row = rows[static_cast<size_t>(y)].text;
        if (static_cast<size_t>(x) >= row.size() || row[static_cast<size_t>(x)] == ' ') return nullptr;
        auto it = legend.find(row[static_cast<size_t>(x)]);
        return it == legend.end() ? nullptr : &it->second;
    }

    void build() {
        map_model& m = result.map;
        if (!pending_edge_wall.empty()) {
            if (auto t = texture(pending_edge_wall, texture_group::wall, edge_wall_line)) edge_wall = *t;
        }
        // Sector 0: never a place, kept off the automap.
        m.sectors.emplace_back();
        m.coords.push_back(map_coord{0, 0, 0, MC_NOAUTOMAP});
        std::vector<std::tuple<int, int, size_t>> places;  // x, y, layer index
        for (size_t li = 0; li < grids.size(); ++li) {
            int layer = grids[li].first;
            const auto& rows = grids[li].second;
            for (size_t y = 0; y < rows.size(); ++y) {
                const std::string& row = rows[y].text;
                for (size_t x = 0; x < row.size(); ++x) {
                    char c = row[x];
                    if (c == ' ') continue;
                    auto it = legend.find(c);
                    if (it == legend.end()) {
                        error(rows[y].line, "character '" + std::string(1, c) + "' is not in the legend");
                        continue;
                    }
                    if (it->second.solid) continue;
                    if (x > 32767 || y > 32767) {
                        error(rows[y].line, "the grid is wider or taller than 32768 cells");
                        return;
                    }
                    int number = static_cast<int>(m.sectors.size());
                    if (number > 65535) {
                        error(rows[y].line, "more than 65535 sectors");
                        return;
                    }
                    result.sector_at[{static_cast<int>(x), static_cast<int>(y), layer}] = number;
                    m.sectors.push_back(it->second.sector);
                    m.coords.push_back(map_coord{static_cast<int16_t>(x), static_cast<int16_t>(y),
                                                 static_cast<int16_t>(layer), it->second.coord_flags});
                    places.emplace_back(static_cast<int>(x), static_cast<int>(y), li);
                }
            }
        }
        m.sides.assign(4 * m.sectors.size(), map_side{});
        for (size_t k = 0; k < places.size(); ++k) {
            auto [x, y, li] = places[k];
            int s = static_cast<int>(k) + 1;
            int layer = grids[li].first;
            for (int d = 0; d < 4; ++d) {
                map_side& side = m.sides[static_cast<size_t>(4 * s + d)];
                int nx = x + DIR_DX[d], ny = y + DIR_DY[d];
                auto there = result.sector_at.find({nx, ny, layer});
                if (there != result.sector_at.end()) {
                    m.sectors[static_cast<size_t>(s)].exits[d] = static_cast<uint16_t>(there->second);
                    side.flags = OPEN_SIDE;
                    continue;
                }
                const cell_kind* wall = cell(nx, ny, static_cast<int>(li));
                int texture = wall ? wall->wall : edge_wall;
                if (!wall && !edge_wall) {
                    error(grids[li].second[static_cast<size_t>(y)].line,
                          "cell " + std::to_string(x) + "," + std::to_string(y) + " faces the map's edge " +
                              DIR_NAMES[d] + "ward: add a wall cell or set edge_wall");
                }
                side.primary = static_cast<uint8_t>(texture);
                side.flags = WALL_SIDE;
            }
        }
        for (const pending& p : sector_lines) sector_line(p);
        for (const pending& p : side_lines) side_line(p);
        for (const pending& p : item_lines) item_line(p);
        for (const pending& p : alcove_lines) alcove_line(p);
        for (const pending& p : action_lines) action_line(p);
        for (const pending& p : place_lines) place_line(p);
        for (const script_section& s : scripts) script(s);
        monsters();
        if (!start) {
            error(line_no, "the map has no start position ([map] start = x y direction)");
        } else {
            auto [x, y, layer, d] = *start;
            auto it = result.sector_at.find({x, y, layer});
            if (it == result.sector_at.end()) {
                error(start_line, "the start position is not an open cell");
            } else {
                m.header.start_sector = it->second;
                m.header.start_direction = d;
            }
        }
        if (places.empty()) error(line_no, "the map has no open cell");
        check_targets();
    }

    // "x y [layer]" of an open cell at the head of a sector, side or item line.
    std::optional<std::pair<int, int>> head_sector(const std::vector<std::string>& words, size_t count,
                                                   int line) {
        if (words.size() != count && words.size() != count + 1) return std::nullopt;
        auto x = to_number(words[0]), y = to_number(words[1]);
        auto l = words.size() == count + 1 ? to_number(words[2]) : std::optional<long>(0);
        if (!x || !y || !l) return std::nullopt;
        auto it = result.sector_at.find({static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*l)});
        if (it == result.sector_at.end()) {
            error(line, "no open cell at " + std::to_string(*x) + "," + std::to_string(*y) + " layer " +
                            std::to_string(*l));
            return std::pair<int, int>{-1, 0};
        }
        return std::pair<int, int>{it->second, static_cast<int>(*l)};
    }

    void sector_line(const pending& p) {
        auto where = head_sector(split_words(p.head), 2, p.line);
        if (!where) return error(p.line, "sector line is: x y [layer]: settings");
        if (where->first < 0) return;
        map_sector& sec = result.map.sectors[static_cast<size_t>(where->first)];
        map_coord& coord = result.map.coords[static_cast<size_t>(where->first)];
        for (const std::string& token : split_words(p.body)) {
            size_t e = token.find('=');
            std::string key = token.substr(0, e), value = e == std::string::npos ? "" : token.substr(e + 1);
            if (key.rfind("exit.", 0) == 0) {
                auto d = to_direction(key.substr(5));
                if (!d) {
                    error(p.line, "exit.<direction> expected, not '" + key + "'");
                    continue;
                }
                map_side& side = result.map.sides[static_cast<size_t>(4 * where->first + *d)];
                if (value == "none") {
                    sec.exits[*d] = 0;
                    side.flags |= SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING;
                } else if (auto s = cell_sector(value, where->second, p.line)) {
                    sec.exits[*d] = static_cast<uint16_t>(*s);
                    // Stairs to another layer usually lead through what the
                    // grid drew as a wall: the way through must be open, or
                    // the exit could never be taken. [sides] may close it again.
                    if (side.flags == WALL_SIDE) {
                        side.flags = OPEN_SIDE;
                        side.primary = 0;
                    }
                }
            } else if (key == "shaded") {
                coord.coord_flags |= MC_SHADED;
            } else if (!sector_setting(sec, coord.coord_flags, key, value, p.line, where->second)) {
                error(p.line, "unknown sector setting '" + token + "'");
            }
        }
    }

    void side_settings(map_side& side, const std::vector<std::string>& tokens, int layer, int line) {
        // The animation the words ping, loop and forward after anim= or anim2= are about.
        uint32_t anim_ping = 0, anim_loop = 0, anim_forward = 0;
        for (const std::string& token : tokens) {
            if (token == "ping" || token == "loop" || token == "forward") {
                if (!anim_ping) {
                    error(line, "'" + token + "' follows anim= or anim2=");
                    continue;
                }
                side.flags |= token == "ping" ? anim_ping : token == "loop" ? anim_loop : anim_forward;
                continue;
            }
            if (token == "auto") {
                side.flags |= SIDE_AUTOANIM;
                continue;
            }
            size_t e = token.find('=');
            std::string key = token.substr(0, e), value = e == std::string::npos ? "" : token.substr(e + 1);
            auto number = [&](long lo, long hi) -> std::optional<long> {
                auto n = to_number(value);
                if (!n || *n < lo || *n > hi) {
                    error(line, key + " is a number " + std::to_string(lo) + ".." + std::to_string(hi));
                    return std::nullopt;
                }
                return n;
            };
            auto anim = [&](uint8_t& out) {
                size_t slash = value.find('/');
                auto f = to_number(value.substr(0, slash));
                auto l = slash == std::string::npos ? std::nullopt : to_number(value.substr(slash + 1));
                if (!f || !l || *f < 0 || *f > 15 || *l < 0 || *l > 15 || *f > *l)
                    return error(line, key + " is frame/last with 0 <= frame <= last <= 15");
                out = static_cast<uint8_t>(*f << 4 | *l);
            };
            if (key == "primary") {
                if (auto t = texture(value, texture_group::wall, line))
                    side.primary = static_cast<uint8_t>(*t);
            } else if (key == "secondary") {
                if (auto t = texture(value, texture_group::wall, line))
                    side.secondary = static_cast<uint8_t>(*t);
            } else if (key == "arch") {
                if (auto t = texture(value, texture_group::arch, line))
                    side.arch_and_flags2 = static_cast<uint8_t>((side.arch_and_flags2 & 0xF0) | *t);
            } else if (key == "at") {
                size_t comma = value.find(',');
                auto x = to_number(value.substr(0, comma));
                auto y = comma == std::string::npos ? std::nullopt : to_number(value.substr(comma + 1));
                if (!x || !y || *x < 0 || *x > 510 || *y < 0 || *y > 510)
                    error(line, "at is x,y in wall texture pixels, 0..510");
                else
                    side.secondary_x = static_cast<uint8_t>(*x / 2),
                    side.secondary_y = static_cast<uint8_t>(*y / 2);
            } else if (key == "flags") {
                apply_flags(value, side_flag_names, side.flags, line);
            } else if (key == "flags2") {
                uint32_t f = side.arch_and_flags2 >> 4;
                apply_flags(value, side_flag2_names, f, line);
                side.arch_and_flags2 = static_cast<uint8_t>((side.arch_and_flags2 & 0x0F) | f << 4);
            } else if (key == "mask") {
                uint32_t m = side.flags >> 24 & 0x1F;
                apply_flags(value, side_flag_names, m, line, 0x1F);
                side.flags = (side.flags & ~SIDE_TOGGLE_MASK) | m << 24;
            } else if (key == "anim") {
                anim(side.primary_anim);
                anim_ping = SIDE_P_PING, anim_loop = SIDE_P_ANIM, anim_forward = SIDE_P_FORW;
            } else if (key == "anim2") {
                anim(side.secondary_anim);
                anim_ping = SIDE_S_PING, anim_loop = SIDE_S_ANIM, anim_forward = SIDE_S_FORW;
            } else if (key == "action") {
                if (auto a = action_code_by_name(value))
                    side.action = static_cast<uint8_t>(*a);
                else
                    error(line, "unknown action '" + value + "'");
            } else if (key == "text") {
                if (auto n = number(0, 65535)) side.action_target = static_cast<uint16_t>(*n);
            } else if (key == "target") {
                // x,y[,layer],direction
                size_t comma = value.rfind(',');
                auto d = comma == std::string::npos ? std::nullopt : to_direction(value.substr(comma + 1));
                if (!d) {
                    error(line, "target is x,y[,layer],direction");
                    continue;
                }
                if (auto s = cell_sector(value.substr(0, comma), layer, line)) {
                    side.action_target = static_cast<uint16_t>(*s);
                    side.target_side = static_cast<uint8_t>((side.target_side & 0xFC) | *d);
                }
            } else if (key == "neighbour") {
                side.target_side |= 0x80;
            } else if (key != "both") {
                error(line, "unknown side setting '" + token + "'");
            }
        }
    }

    // The head "x y [layer] direction" of a line about one side. Nothing when
    // it is malformed (reported with `usage`) or names no open cell.
    struct side_head {
        int sector;
        int layer;
        int direction;
    };
    std::optional<side_head> read_side_head(const pending& p, const char* usage) {
        auto words = split_words(p.head);
        if (words.size() < 3) {
            error(p.line, usage);
            return std::nullopt;
        }
        auto d = to_direction(words.back());
        words.pop_back();
        auto where = head_sector(words, 2, p.line);
        if (!where || !d) {
            error(p.line, usage);
            return std::nullopt;
        }
        if (where->first < 0) return std::nullopt;
        return side_head{where->first, where->second, *d};
    }

    void side_line(const pending& p) {
        auto head = read_side_head(p, "side line is: x y [layer] direction: settings");
        if (!head) return;
        auto tokens = split_words(p.body);
        side_settings(result.map.sides[static_cast<size_t>(4 * head->sector + head->direction)], tokens,
                      head->layer, p.line);
        if (std::find(tokens.begin(), tokens.end(), "both") != tokens.end()) {
            int other = result.map.sectors[static_cast<size_t>(head->sector)].exits[head->direction];
            if (!other) return error(p.line, "'both' needs an exit on that side");
            side_settings(result.map.sides[static_cast<size_t>(4 * other + ((head->direction + 2) & 3))],
                          tokens, head->layer, p.line);
        }
    }

    void item_line(const pending& p) {
        auto words = split_words(p.head);
        if (words.size() < 3) return error(p.line, "item line is: x y [layer] quarter: items");
        auto q = to_number(words.back());
        words.pop_back();
        auto where = head_sector(words, 2, p.line);
        if (!where || !q || *q < 0 || *q > 3)
            return error(p.line, "item line is: x y [layer] quarter: items");
        if (where->first < 0) return;
        map_item_place place;
        place.place = static_cast<uint32_t>(4 * where->first + *q);
        for (const std::string& w : split_words(p.body)) {
            auto n = to_number(w);
            if (!n) {
                // A name; "-name" continues the stack begun before it, as a negative number does.
                bool continues = w.size() > 1 && w[0] == '-';
                auto named = item_number(continues ? w.substr(1) : w, p.line);
                if (!named) return;
                n = continues ? -*named : *named;
            }
            if (*n == 0 || *n < -32768 || *n > 32767)
                return error(p.line, "items are non-zero numbers or item names");
            place.items.push_back(static_cast<int16_t>(*n));
        }
        place.items.push_back(0);
        result.map.items.push_back(std::move(place));
    }

    // One alcove: its record, and the wall gets the RECESS flag.
    void alcove_line(const pending& p) {
        auto head =
            read_side_head(p, "alcove line is: x y [layer] direction: sill-x sill-y width height [items]");
        if (!head) return;
        std::string why;
        auto record = compile_alcove(
            head->sector, head->direction, p.body,
            [&](const std::string& name) { return item_number(name, p.line); }, why);
        if (!record) {
            if (!why.empty()) error(p.line, why);
            return;
        }
        for (const auto& r : result.map.recesses)
            if (r[0] == (*record)[0] && r[1] == (*record)[1] && r[2] == (*record)[2])
                return error(p.line, "that wall has an alcove already");
        result.map.recesses.push_back(*record);
        result.map.sides[static_cast<size_t>(4 * head->sector + head->direction)].arch_and_flags2 |=
            SIDE2_RECESS;
    }

    // An item named in the map: its number from the item source, or an error.
    std::optional<int> item_number(const std::string& name, int line) {
        if (!item_names) {
            error(line, "item " + name + " is named, but no item source was given (forge map --items)");
            return std::nullopt;
        }
        auto n = item_names(name);
        if (!n) error(line, "unknown item " + name);
        return n;
    }

    // "x y [layer] name direction": a monster placed by its definition's
    // name (or number); each line fills the next monster slot.
    std::vector<monster_placement> placements;
    void monster_line(const pending& p) {
        const char* usage = "monster line is: x y [layer] name direction";
        auto words = split_words(p.head);
        if (words.size() < 4) return error(p.line, usage);
        auto d = to_direction(words.back());
        words.pop_back();
        std::string name = words.back();
        words.pop_back();
        auto where = head_sector(words, 2, p.line);
        if (!where || !d) return error(p.line, usage);
        if (where->first < 0) return;
        monster_placement placed{p.line, where->first, *d, {}};
        if (auto n = to_number(name)) {
            if (*n < 1 || *n > 4095) return error(p.line, "monster definition numbers are 1..4095");
            placed.definition.number = static_cast<int>(*n);
        } else if (!monster_names) {
            result.unplaced_monsters.push_back(
                source + ":" + std::to_string(p.line) + ": monster " + name +
                " is named, but no monster source was given (forge map --monsters)");
            return;
        } else if (auto found = monster_names(name)) {
            placed.definition = *found;
        } else {
            return error(p.line, "unknown monster " + name);
        }
        placements.push_back(placed);
    }

    void monsters() {
        for (const pending& p : monster_lines) monster_line(p);
        for (const auto& [line, message] : check_monster_placements(placements)) error(line, message);
        if (!placements.empty()) result.map.monsters = encode_monster_placements(placements);
    }

    // One multiaction record of a side, in its slot form, as hex bytes.
    void action_line(const pending& p) {
        auto head = read_side_head(p, "action line is: x y [layer] direction: hex bytes");
        if (!head) return;
        std::vector<uint8_t> record;
        for (const std::string& w : split_words(p.body)) {
            unsigned v = 0;
            auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v, 16);
            if (ec != std::errc() || end != w.data() + w.size() || w.size() != 2)
                return error(p.line, "'" + w + "' is not a two-digit hex byte");
            record.push_back(static_cast<uint8_t>(v));
        }
        if (record.empty() || record.size() > MULTIACTION_SLOT_SIZE)
            return error(p.line, "a record has 1 to 228 bytes");
        if (command_omits_byte3(record[0] & 0x3F) && record.size() > 3 && record[3] != 0)
            return error(p.line,
                         "command " + std::to_string(record[0] & 0x3F) + " does not keep byte 3: write 00");
        uint32_t side = static_cast<uint32_t>(4 * head->sector + head->direction);
        auto& lists = result.map.multiactions;
        auto it = std::find_if(lists.begin(), lists.end(), [side](const auto& l) { return l.side == side; });
        if (it == lists.end()) it = lists.insert(lists.end(), map_model::action_list{side, {}});
        it->records.push_back(std::move(record));
    }

    // "name = x y [layer] direction": a place that scripts of this map and
    // map changes from other maps name.
    void place_line(const pending& p) {
        bool word = !p.head.empty() && std::all_of(p.head.begin(), p.head.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        });
        if (!word) return error(p.line, "a place name is letters, digits and _");
        auto where = read_side_head({p.line, p.body, ""}, "place line is: name = x y [layer] direction");
        if (!where) return;
        if (!result.places.emplace(p.head, std::pair<int, int>{where->sector, where->direction}).second)
            error(p.line, "place '" + p.head + "' is defined twice");
    }

    std::optional<script_place> own_place(const std::string& text) const {
        auto it = result.places.find(text);
        if (it == result.places.end()) return std::nullopt;
        return script_place{it->second.first, it->second.second};
    }

    // One [script x y [layer] direction] section: its records go to the
    // side's list after the records of [actions].
    void script(const script_section& s) {
        auto head = read_side_head({s.line, s.head, ""}, "script header is [script x y [layer] direction]");
        if (!head) return;
        script_context context;
        context.cell = [&](const std::string& text, int line) -> std::optional<script_place> {
            if (auto p = own_place(text)) return p;
            if (auto sector = cell_sector(text, head->layer, line)) return script_place{*sector, 0};
            return std::nullopt;
        };
        context.side = [&](const std::string& text, int line) -> std::optional<script_place> {
            if (auto p = own_place(text)) return p;
            size_t comma = text.rfind(',');
            auto d = comma == std::string::npos ? std::nullopt : to_direction(text.substr(comma + 1));
            if (!d) {
                error(line, "'" + text + "' is not x,y[,layer],direction or a place");
                return std::nullopt;
            }
            if (auto sector = cell_sector(text.substr(0, comma), head->layer, line))
                return script_place{*sector, *d};
            return std::nullopt;
        };
        context.remote_place = [&](const std::string& map, const std::string& place,
                                   int line) -> std::optional<script_place> {
            auto link = links.find(map);
            if (link == links.end()) {
                error(line, "map " + map + " has no line in [links]");
                return std::nullopt;
            }
            if (!resolver) {
                error(line, "places of other maps are not looked up here (" + map + ")");
                return std::nullopt;
            }
            std::string why;
            auto found = resolver(link->second, place, why);
            if (!found) {
                error(line, why.empty() ? "no place '" + place + "' in " + link->second : why);
                return std::nullopt;
            }
            return script_place{found->first, found->second};
        };
        context.has_text = [&](int n) {
            return std::any_of(result.texts.begin(), result.texts.end(),
                               [n](const auto& t) { return t.first == n; });
        };
        context.error = [&](int line, const std::string& message) { error(line, message); };
        if (item_names)
            context.item = [&](const std::string& name, int line) { return item_number(name, line); };
        auto records = compile_side_script(s.lines, context);
        if (records.empty()) {
            if (s.lines.empty()) error(s.line, "the script has no commands");
            return;
        }
        uint32_t side = static_cast<uint32_t>(4 * head->sector + head->direction);
        auto& lists = result.map.multiactions;
        auto it = std::find_if(lists.begin(), lists.end(), [side](const auto& l) { return l.side == side; });
        if (it == lists.end()) it = lists.insert(lists.end(), map_model::action_list{side, {}});
        for (auto& r : records) it->records.push_back(std::move(r));
    }

    // The rules the loader enforces, reported here with the source line.
    void check_targets() {
        const auto& m = result.map;
        for (size_t s = 1; s < m.sectors.size(); ++s) {
            const map_sector& sec = m.sectors[s];
            uint8_t t = sec.sector_type;
            if (sector_moves_party(t) && sec.action_target == 0)
                error(line_no, "sector " + std::to_string(s) + " (type " + std::to_string(t) +
                                   ") moves the party but has no target");
            if (sec.action != 13 && sec.action_target >= m.sectors.size())
                error(line_no, "sector " + std::to_string(s) + ": text= is only for action 13");
        }
        for (size_t k = 0; k < m.sides.size(); ++k)
            if (m.sides[k].action != 13 && m.sides[k].action_target >= m.sectors.size())
                error(line_no, "side " + std::to_string(k) + ": text= is only for action 13");
    }

    // ------------------------------------------------------------ reading

    void run(std::string_view text) {
        std::string section;
        int layer = 0;
        std::istringstream in{std::string(text)};
        std::string raw;
        while (std::getline(in, raw)) {
            ++line_no;
            if (!raw.empty() && raw.back() == '\r') raw.pop_back();
            std::string t = trim(raw);
            if (!t.empty() && t[0] == ';') continue;
            if (!t.empty() && t[0] == '[') {
                if (t.back() != ']') {
                    error(line_no, "section header must end with ]");
                    continue;
                }
                auto words = split_words(t.substr(1, t.size() - 2));
                section = words.empty() ? "" : words[0];
                if (section == "script") {
                    std::string head = trim(t.substr(1, t.size() - 2)).substr(6);
                    scripts.push_back({line_no, trim(head), {}});
                    continue;
                }
                if (section == "grid") {
                    auto l = words.size() > 1 ? to_number(words[1]) : std::optional<long>(0);
                    if (!l || *l < -32768 || *l > 32767 || words.size() > 2) {
                        error(line_no, "grid header is [grid] or [grid <layer>]");
                        l = 0;
                    }
                    layer = static_cast<int>(*l);
                    for (const auto& g : grids)
                        if (g.first == layer)
                            error(line_no, "layer " + std::to_string(layer) + " has two grids");
                    grids.push_back({layer, {}});
                } else if (words.size() != 1 ||
                           (section != "map" && section != "textures" && section != "legend" &&
                            section != "sectors" && section != "sides" && section != "texts" &&
                            section != "items" && section != "sounds" && section != "actions" &&
                            section != "places" && section != "links" && section != "monsters" &&
                            section != "alcoves")) {
                    error(line_no, "unknown section '" + t + "'");
                    section = "?";
                }
                continue;
            }
            if (section == "grid") {
                grids.back().second.push_back({raw, line_no});
                continue;
            }
            if (t.empty()) continue;
            if (section == "script") {
                scripts.back().lines.push_back({line_no, t});
                continue;
            }
            if (section.empty()) {
                error(line_no, "text before the first section");
            } else if (section == "map") {
                size_t eq = t.find('=');
                if (eq == std::string::npos)
                    error(line_no, "map setting is: key = value");
                else
                    map_key(trim(t.substr(0, eq)), trim(t.substr(eq + 1)), line_no);
            } else if (section == "textures") {
                size_t eq = t.find('=');
                if (eq == std::string::npos)
                    error(line_no, "texture line is: kind name = pictures");
                else
                    texture_line(t.substr(0, eq), t.substr(eq + 1), line_no);
            } else if (section == "legend") {
                legend_line(t, line_no);
            } else if (section == "sectors" || section == "sides" || section == "items" ||
                       section == "actions" || section == "alcoves") {
                size_t colon = t.find(':');
                if (colon == std::string::npos) {
                    error(line_no, "line is: position: settings");
                    continue;
                }
                pending p{line_no, t.substr(0, colon), t.substr(colon + 1)};
                if (section == "sectors")
                    sector_lines.push_back(p);
                else if (section == "sides")
                    side_lines.push_back(p);
                else if (section == "items")
                    item_lines.push_back(p);
                else if (section == "alcoves")
                    alcove_lines.push_back(p);
                else
                    action_lines.push_back(p);
            } else if (section == "texts") {
                text_line(t, line_no);
            } else if (section == "monsters") {
                // A placement may end with a comment: no name holds ';'.
                monster_lines.push_back({line_no, trim(t.substr(0, t.find(';'))), ""});
            } else if (section == "places" || section == "links") {
                size_t eq = t.find('=');
                if (eq == std::string::npos) {
                    error(line_no, section == "places" ? "place line is: name = x y [layer] direction"
                                                       : "link line is: MAPFILE.MAP = source file");
                    continue;
                }
                std::string name = trim(t.substr(0, eq)), value = trim(t.substr(eq + 1));
                if (section == "places")
                    place_lines.push_back({line_no, name, value});
                else if (!links.emplace(name, value).second)
                    error(line_no, "map " + name + " is linked twice");
            } else if (section == "sounds") {
                auto words = split_words(t);
                auto n = words.size() == 2 ? to_number(words[0]) : std::nullopt;
                if (!n || *n < 0 || *n > 255) {
                    error(line_no, "sound line is: number name");
                    continue;
                }
                auto& sounds = result.map.sounds;
                if (sounds.size() <= static_cast<size_t>(*n)) sounds.resize(static_cast<size_t>(*n) + 1);
                sounds[static_cast<size_t>(*n)] = words[1];
            }
        }
        build();
    }

    void text_line(const std::string& t, int line) {
        size_t sp = t.find_first_of(" \t");
        auto n = to_number(t.substr(0, sp));
        if (!n || *n < 0 || *n > 65535) return error(line, "text line is: number text");
        std::string body = sp == std::string::npos ? "" : trim(t.substr(sp));
        auto converted = utf8_to_game_codepage(body);
        if (!converted) return error(line, "text has characters outside the game code page");
        if (converted->size() > 1000) return error(line, "text is longer than 1000 characters");
        for (const auto& [number, existing] : result.texts)
            if (number == *n) return error(line, "text " + std::to_string(*n) + " is defined twice");
        result.texts.emplace_back(static_cast<int>(*n), *converted);
    }
};

}  // namespace

map_source_result compile_map_source(std::string_view text, const std::string& source_name,
                                     const map_place_resolver& resolver, const map_item_resolver& items,
                                     const map_monster_resolver& monsters) {
    compiler c;
    c.source = source_name;
    c.resolver = resolver;
    c.item_names = items;
    c.monster_names = monsters;
    c.run(text);
    return std::move(c.result);
}

}  // namespace forge
