// Side scripts of the map source: readable commands compiled into
// multiaction records (see docs/map-source.md, "Scripts").
#include "forge/map_source_scripts.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace forge {

const char* const SIDE_EVENT_NAMES[16] = {
    "passed",     "blocked",   "used",     "wrong_key", "no_key",     "approach", "action", "map_start",
    "anim_start", "anim_step", "anim_odd", "changed",   "special_ok", "anim_end", "recess", "monster_bump",
};

const char* const ACTION_CODE_NAMES[19] = {
    "toggle_bits",   "open",        "close",        "reverse",       "animate",       "show",   "hide",
    "show_hide",     "animate_2nd", "show_2nd",     "hide_2nd",      "show_hide_2nd", "remove", "message",
    "sector_toggle", "teleport_on", "teleport_off", "sector_switch", "sector_set",
};

namespace {

// Script commands by their readable names; the numbers are the commands of
// the multiaction records.
enum command : int {
    C_SOUND = 1,
    C_GLOBAL_TEXT,
    C_MAP_TEXT,
    C_SEND_ACTION,
    C_FIRE,
    C_DESTROY_HELD,
    C_LOAD_MAP,
    C_DROP_ITEM,
    C_DIALOG,
    C_SHOP,
    C_CODE_LOCK,
    C_CANCEL_ACTION,
    C_LOCK,
    C_SWAP_SECTORS,
    C_HIT_PARTY,
    C_IF_FLAG,
    C_SPECIAL,
    C_IF_CARRIES,
    C_STORY,
    C_IF_ACTION,
    C_EXPERIENCE,
    C_TELEPORT,
    C_PLAY_VIDEO,
    C_GIVE_HELD,
    C_IF_STORY_FLAG,
    C_SET_STORY_FLAG,
    C_DROP_NEW_ITEM,
    C_DROP_MONEY,
    C_GIVE_NEW_ITEM,
    C_IF_HELD,
    C_BOOK,
    C_IF_RANDOM,
    C_LEAVE_SCREEN,
    C_CALL_MONSTERS,
    C_CALL_SIDE,
    C_MUSIC,
    C_SET_HOOK,
};

const char* const COMMAND_NAMES[38] = {
    "",
    "sound",
    "global_text",
    "map_text",
    "send_action",
    "fire",
    "destroy_held",
    "load_map",
    "drop_item",
    "dialog",
    "shop",
    "code_lock",
    "cancel_action",
    "lock",
    "swap_sectors",
    "hit_party",
    "if_flag",
    "special",
    "if_carries",
    "story",
    "if_action",
    "experience",
    "teleport",
    "play_video",
    "give_held",
    "if_story_flag",
    "set_story_flag",
    "drop_new_item",
    "drop_money",
    "give_new_item",
    "if_held",
    "book",
    "if_random",
    "leave_screen",
    "call_monsters",
    "call_side",
    "music",
    "set_hook",
};

// Side flags a script may test, bit 0 first (as the map's side flags).
const char* const TESTABLE_FLAGS[32] = {
    "AUTOMAP", "!PLR",    "!MONST",    "!THING", "!SOUND", "ALARM",  "PASS",    "TRANSPARENT",
    "P_ANIM",  "P_VIS",   "P_PING",    "P_FORW", "S_ANIM", "S_VIS",  "S_PING",  "S_FORW",
    "LEFT_A",  "RIGHT_A", "ALT_SIDES", "SPEC",   "COPY",   "SEND",   "APLY2ND", "AUTOANIM",
    "",        "",        "",          "",       "",       "SECRET", "TRUESEE", "INVIS",
};

constexpr int RECORD_MAX = 228;
constexpr int MAP_NAME_BYTES = 13;

std::optional<long> parse_number(std::string_view s) {
    if (s.empty()) return std::nullopt;
    int base = 10;
    bool negative = false;
    if (s[0] == '-') negative = true, s.remove_prefix(1);
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) base = 16, s.remove_prefix(2);
    long v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty()) return std::nullopt;
    return negative ? -v : v;
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

// A record in its slot form, growing as fields are written.
struct record_bytes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(4, 0);
    void grow(size_t size) {
        if (bytes.size() < size) bytes.resize(size, 0);
    }
    void u8(size_t at, unsigned v) {
        grow(at + 1);
        bytes[at] = static_cast<uint8_t>(v);
    }
    void u16(size_t at, long v) {
        u8(at, static_cast<unsigned>(v) & 0xFF);
        u8(at + 1, static_cast<unsigned>(v) >> 8 & 0xFF);
    }
    void u32(size_t at, long v) {
        for (int i = 0; i < 4; ++i)
            u8(at + i, static_cast<unsigned>(static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    }
    // The text and its NUL, padded with NULs to `width` bytes when width > 0.
    void text(size_t at, const std::string& s, size_t width = 0) {
        for (size_t i = 0; i < s.size(); ++i) u8(at + i, static_cast<uint8_t>(s[i]));
        grow(at + std::max(s.size() + 1, width));
    }
};

// The parameters of one command line: key=value pairs and bare words. Each
// must be taken by the command; what is left over is reported.
class command_params {
  public:
    command_params(const std::vector<std::string>& tokens, int line, const script_context& context,
                   const std::string& command)
        : line_(line), context_(context), command_(command) {
        for (const std::string& t : tokens) {
            size_t eq = t.find('=');
            if (eq == std::string::npos) {
                words_.insert(t);
            } else if (!values_.emplace(t.substr(0, eq), t.substr(eq + 1)).second) {
                fail("parameter '" + t.substr(0, eq) + "' is given twice");
            }
        }
    }

    bool ok() const { return ok_; }
    int line() const { return line_; }
    // A lookup that reported its own error.
    void failed_quietly() { ok_ = false; }
    void fail(const std::string& message) {
        if (ok_) context_.error(line_, message);
        ok_ = false;
    }
    bool has(const std::string& key) const { return values_.count(key) != 0; }

    std::optional<std::string> text(const std::string& key) {
        auto it = values_.find(key);
        if (it == values_.end()) {
            fail(command_ + " needs " + key + "=");
            return std::nullopt;
        }
        taken_.insert(key);
        return it->second;
    }
    std::optional<long> number(const std::string& key, long lo, long hi) {
        auto t = text(key);
        if (!t) return std::nullopt;
        auto n = parse_number(*t);
        if (!n || *n < lo || *n > hi) {
            fail(key + " of " + command_ + " is a number " + std::to_string(lo) + ".." + std::to_string(hi));
            return std::nullopt;
        }
        return n;
    }
    // An item number, or the name of an item of the adventure's item source.
    std::optional<long> item(const std::string& key, long hi) {
        auto t = text(key);
        if (!t) return std::nullopt;
        if (parse_number(*t)) return number(key, 1, hi);
        if (!context_.item) {
            fail(key + " of " + command_ + " is a number 1.." + std::to_string(hi) +
                 " (names need the item source: forge map --items)");
            return std::nullopt;
        }
        auto n = context_.item(*t, line_);
        if (!n) ok_ = false;
        return n;
    }
    long number_or(const std::string& key, long lo, long hi, long fallback) {
        if (!has(key)) return fallback;
        return number(key, lo, hi).value_or(fallback);
    }
    bool word(const std::string& w) {
        if (!words_.count(w)) return false;
        taken_words_.insert(w);
        return true;
    }
    std::optional<script_place> cell(const std::string& key) {
        auto t = text(key);
        if (!t) return std::nullopt;
        auto p = context_.cell(*t, line_);
        if (!p) ok_ = false;
        return p;
    }
    std::optional<script_place> side(const std::string& key) {
        auto t = text(key);
        if (!t) return std::nullopt;
        auto p = context_.side(*t, line_);
        if (!p) ok_ = false;
        return p;
    }
    // A text number that must be in the map's string table.
    std::optional<long> map_text(const std::string& key) {
        auto n = number(key, 0, 65535);
        if (n && !context_.has_text(static_cast<int>(*n))) {
            fail("text " + std::to_string(*n) + " is not in [texts]");
            return std::nullopt;
        }
        return n;
    }
    // Hex bytes without separators ("0A1B2C").
    std::optional<std::vector<uint8_t>> hex(const std::string& key, size_t max) {
        auto t = text(key);
        if (!t) return std::nullopt;
        std::vector<uint8_t> out;
        for (size_t i = 0; t->size() % 2 == 0 && i < t->size(); i += 2) {
            unsigned v = 0;
            auto [p, ec] = std::from_chars(t->data() + i, t->data() + i + 2, v, 16);
            if (ec != std::errc() || p != t->data() + i + 2) break;
            out.push_back(static_cast<uint8_t>(v));
        }
        if (out.empty() || out.size() * 2 != t->size() || out.size() > max) {
            fail(key + " of " + command_ + " is 1 to " + std::to_string(max) + " hex bytes, two digits each");
            return std::nullopt;
        }
        return out;
    }
    // Reports every parameter the command did not take.
    void finish() {
        for (const auto& [key, value] : values_)
            if (!taken_.count(key)) fail(command_ + " has no parameter '" + key + "'");
        for (const std::string& w : words_)
            if (!taken_words_.count(w)) fail(command_ + " has no parameter '" + w + "'");
    }

  private:
    int line_;
    const script_context& context_;
    std::string command_;
    std::map<std::string, std::string> values_;
    std::set<std::string> words_, taken_, taken_words_;
    bool ok_ = true;
};

// A pending relative jump: written once every label is known.
struct jump_fixup {
    size_t record;
    std::string label;
    int line;
};

class script_compiler {
  public:
    explicit script_compiler(const script_context& context) : context_(context) {}

    std::vector<std::vector<uint8_t>> run(const std::vector<script_line>& lines) {
        for (const script_line& l : lines) compile_line(l);
        for (const jump_fixup& j : jumps_) {
            auto it = labels_.find(j.label);
            if (it == labels_.end()) {
                context_.error(j.line, "no label @" + j.label + " in this script");
                continue;
            }
            long distance = static_cast<long>(it->second) - static_cast<long>(j.record);
            if (distance == 0) {
                context_.error(j.line, "a jump to its own record would run it again forever");
                continue;
            }
            if (records_[j.record].size() < 8) records_[j.record].resize(8, 0);
            records_[j.record][6] = static_cast<uint8_t>(distance & 0xFF);
            records_[j.record][7] = static_cast<uint8_t>(distance >> 8 & 0xFF);
        }
        return records_;
    }

  private:
    const script_context& context_;
    std::vector<std::vector<uint8_t>> records_;
    std::map<std::string, size_t> labels_;
    std::vector<jump_fixup> jumps_;

    void compile_line(const script_line& l) {
        std::string t = trim(l.text);
        if (t.empty()) return;
        if (t[0] == '@') {
            std::string name = t.substr(1);
            bool word = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
            });
            if (!word) return context_.error(l.line, "a label is @ and a name of letters, digits and _");
            if (!labels_.emplace(name, records_.size()).second)
                context_.error(l.line, "label @" + name + " is defined twice");
            return;
        }
        size_t colon = t.find(':');
        if (colon == std::string::npos)
            return context_.error(l.line, "script line is: events: command parameters");
        auto events = side_events_by_name(trim(t.substr(0, colon)));
        if (!events || *events == 0)
            return context_.error(l.line, "unknown events '" + trim(t.substr(0, colon)) + "'");
        std::vector<std::string> tokens;
        {
            std::istringstream in(t.substr(colon + 1));
            std::string w;
            while (in >> w) tokens.push_back(w);
        }
        if (tokens.empty()) return context_.error(l.line, "the line names no command");
        int code = 0;
        for (int c = 1; c <= C_SET_HOOK; ++c)
            if (tokens[0] == COMMAND_NAMES[c]) code = c;
        if (!code) return context_.error(l.line, "unknown command '" + tokens[0] + "'");
        const std::string name = tokens[0];
        tokens.erase(tokens.begin());
        bool once = false, stop = false;
        std::vector<std::string> rest;
        for (const std::string& w : tokens) {
            if (w == "once")
                once = true;
            else if (w == "stop")
                stop = true;
            else
                rest.push_back(w);
        }
        command_params p(rest, l.line, context_, name);
        record_bytes r;
        r.u8(0, static_cast<unsigned>(code) | (stop ? 0x40u : 0u) | (once ? 0x80u : 0u));
        r.u16(1, *events);
        std::optional<std::string> jump;
        parameters(code, p, r, jump);
        p.finish();
        if (!p.ok()) return;
        if (r.bytes.size() > RECORD_MAX) return context_.error(l.line, "the record is longer than 228 bytes");
        if (jump) jumps_.push_back({records_.size(), *jump, l.line});
        records_.push_back(std::move(r.bytes));
    }

    // The jump target of a conditional command and its "not".
    static long condition(command_params& p, long value, std::optional<std::string>& jump) {
        if (auto j = p.text("jump")) jump = j->size() > 1 && (*j)[0] == '@' ? j->substr(1) : *j;
        return p.word("not") ? -value : value;
    }

    // A sound record: the flags at byte 3, then either raw bytes (data=) or
    // the named fields: volume at 4, track at 5, rate at 6, loop start at 8,
    // end at 12, start at 16 (byte offsets into the samples), the wave's
    // name from 20.
    static void sound(command_params& p, record_bytes& r) {
        unsigned flags = 0;
        if (p.has("when")) {
            auto w = p.text("when");
            if (*w == "closed")  // plays only while the side is not open
                flags = 2;
            else if (*w == "open")
                flags = 4;
            else if (*w != "always")
                p.fail("when of sound is always, open or closed");
        }
        static const char* const fields[] = {"wave", "volume", "track", "rate", "start",
                                             "end",  "loop",   "bits",  "stereo"};
        const bool named = std::any_of(std::begin(fields), std::end(fields), [&](const char* f) { return p.has(f); });
        if (p.has("data") || !named) {
            if (named) p.fail("sound takes data= or the named fields (wave= ...), not both");
            r.u8(3, flags);
            if (auto d = p.hex("data", RECORD_MAX - 4))
                for (size_t i = 0; i < d->size(); ++i) r.u8(4 + i, (*d)[i]);
            return;
        }
        auto wave = p.text("wave");
        if (wave && (wave->empty() || wave->size() > RECORD_MAX - 21 ||
                     !std::all_of(wave->begin(), wave->end(), [](char c) {
                         return std::isgraph(static_cast<unsigned char>(c)) != 0;
                     })))
            p.fail("wave of sound is a file name of 1 to " + std::to_string(RECORD_MAX - 21) + " characters");
        const long volume = p.number_or("volume", 0, 100, 100);
        const long track = p.number_or("track", 0, 255, 0);
        const long rate = p.number_or("rate", 1, 65535, 22050);
        const long bits = p.number_or("bits", 8, 16, 16);
        if (bits != 8 && bits != 16) p.fail("bits of sound is 8 or 16");
        if (p.has("stereo") && p.text("stereo") != "random") p.fail("stereo of sound is random");
        const long start = p.number_or("start", 0, 0x7FFFFFFF, 0);
        const auto end = p.number("end", 1, 0x7FFFFFFF);
        const long loop = p.number_or("loop", 0, 0x7FFFFFFF, end.value_or(0));
        if (!p.ok()) return;
        // The game plays end - start bytes from start and loops back to loop.
        if (start >= *end) return p.fail("start of sound is before its end");
        if (loop < start || loop > *end) return p.fail("loop of sound lies from its start to its end");
        if (bits == 16 && (start % 2 || *end % 2 || loop % 2))
            return p.fail("start, end and loop of a 16-bit sound are even (two bytes a sample)");
        if (bits == 16) flags |= 1;
        if (p.has("stereo")) flags |= 8;
        r.u8(3, flags);
        r.u8(4, static_cast<unsigned>(volume));
        r.u8(5, static_cast<unsigned>(track));
        r.u16(6, rate);
        r.u32(8, loop);
        r.u32(12, *end);
        r.u32(16, start);
        r.text(20, *wave);
    }

    void parameters(int code, command_params& p, record_bytes& r, std::optional<std::string>& jump) {
        switch (code) {
            case C_SOUND:
                sound(p, r);
                break;
            case C_GLOBAL_TEXT:
                if (auto n = p.number("text", 0, 0x7FFFFFFF)) r.u32(4, *n);
                break;
            case C_MAP_TEXT:
                if (auto n = p.map_text("text")) r.u32(4, *n);
                break;
            case C_SEND_ACTION: {
                auto to = p.side("to");
                auto a = p.text("action");
                std::optional<int> action = a ? action_code_by_name(*a) : std::nullopt;
                if (a && !action) p.fail("unknown action '" + *a + "'");
                long delay = p.number_or("delay", 0, 65535, 0);
                long mask = p.has("mask") ? toggle_mask(p) : 0;
                if (!to || !action) break;
                r.u8(3, static_cast<unsigned>(mask));
                r.u16(4, to->sector), r.u16(6, to->direction), r.u16(8, *action), r.u16(10, delay);
                break;
            }
            case C_FIRE:
                r.u16(4, p.number_or("value", -32768, 65535, 0));
                r.u16(6, p.number_or("x", 0, 500, 250));
                r.u16(8, p.number_or("height", 0, 320, 160));
                r.u16(10, p.number_or("speed", 0, 65535, 1));
                if (auto n = p.item("item", 65535)) r.u16(12, *n);
                break;
            case C_DESTROY_HELD:
            case C_LEAVE_SCREEN:
                break;
            case C_LOAD_MAP:
                load_map(p, r);
                break;
            case C_DROP_ITEM:
            case C_GIVE_HELD:
                if (auto n = p.item("item", 65535)) r.u16(4, *n);
                break;
            case C_DIALOG:
                if (auto n = p.number("dialog", 0, 0x7FFFFFFF)) r.u32(4, *n);
                break;
            case C_SHOP:
                if (auto n = p.number("shop", 0, 0x7FFFFFFF)) r.u32(4, *n);
                break;
            case C_CODE_LOCK: {
                auto symbol = p.text("symbol");
                auto code = p.has("code") ? p.text("code") : std::optional<std::string>("");
                long slot = p.number_or("slot", 0, 15, 0);
                if (symbol &&
                    (symbol->size() != 1 || !std::isgraph(static_cast<unsigned char>((*symbol)[0]))))
                    p.fail("symbol of code_lock is one letter or digit");
                if (code && code->size() > 7) p.fail("code of code_lock has at most 7 symbols");
                if (!p.ok()) break;
                r.u8(3, static_cast<uint8_t>((*symbol)[0]));
                for (size_t i = 0; i < code->size(); ++i) r.u8(4 + i, static_cast<uint8_t>((*code)[i]));
                r.u8(12, static_cast<unsigned>(slot));
                break;
            }
            case C_CANCEL_ACTION:
            case C_CALL_SIDE:
                if (auto s = p.side(code == C_CALL_SIDE ? "side" : "to"))
                    r.u16(4, s->sector), r.u16(6, s->direction);
                break;
            case C_LOCK:
                if (auto k = p.number("key", 1, 65535)) r.u16(4, *k);
                r.u16(6, p.number_or("difficulty", -1, 32767, 0));
                break;
            case C_SWAP_SECTORS:
            case C_CALL_MONSTERS: {
                const char* a = code == C_SWAP_SECTORS ? "a" : "from";
                const char* b = code == C_SWAP_SECTORS ? "b" : "to";
                auto first = p.cell(a);
                auto second = p.cell(b);
                if (first && second) r.u16(4, first->sector), r.u16(6, second->sector);
                break;
            }
            case C_HIT_PARTY: {
                long lo = p.number("min", 0, 32767).value_or(0), hi = p.number("max", 0, 32767).value_or(0);
                if (hi < lo) p.fail("max of hit_party is below its min");
                r.u8(3, (p.word("all") ? 1u : 0u) | (p.word("battle") ? 2u : 0u));
                r.u16(4, lo), r.u16(6, hi);
                break;
            }
            case C_IF_FLAG: {
                auto f = p.text("flag");
                long value = 0;
                if (f) {
                    if (*f == "monster_on_map")
                        value = 33;
                    else if (*f == "monster_near")
                        value = 34;
                    for (int b = 0; b < 32 && !value; ++b)
                        if (TESTABLE_FLAGS[b][0] && *f == TESTABLE_FLAGS[b]) value = b + 1;
                    if (!value) {
                        auto n = parse_number(*f);
                        if (n && *n >= 1 && *n <= 34)
                            value = *n;
                        else
                            p.fail("flag of if_flag is a side flag name, monster_on_map or monster_near");
                    }
                }
                r.u16(4, condition(p, value, jump));
                break;
            }
            case C_SPECIAL:
                if (auto n = p.number("procedure", 0, 65535)) r.u16(4, *n);
                r.u16(6, p.number_or("value", -32768, 65535, 0));
                break;
            case C_IF_CARRIES:
            case C_IF_HELD:
                if (auto n = p.item("item", 32767)) r.u16(4, condition(p, *n, jump));
                break;
            case C_STORY:
            case C_MUSIC:
                if (auto n = p.map_text("text")) r.u16(4, *n);
                break;
            case C_IF_ACTION: {
                auto a = p.text("action");
                std::optional<int> action = a ? action_code_by_name(*a) : std::nullopt;
                if (a && (!action || *action > 32766)) p.fail("unknown action '" + *a + "'");
                r.u16(4, condition(p, action.value_or(0) + 1, jump));
                break;
            }
            case C_EXPERIENCE:
                if (auto n = p.number("amount", 0, 65535)) r.u16(4, *n);
                break;
            case C_TELEPORT: {
                auto to = p.cell("to");
                long dir = to ? to->direction : 0;
                if (p.has("dir")) {
                    auto d = p.text("dir");
                    dir = direction_of(*d).value_or(-1);
                    if (dir < 0) p.fail("dir of teleport is north, east, south or west");
                }
                if (to) r.u16(4, to->sector), r.u16(6, (dir & 3) | (p.word("animated") ? 0x80 : 0));
                break;
            }
            case C_PLAY_VIDEO:
            case C_BOOK: {
                auto f = p.text("file");
                if (code == C_BOOK) {
                    if (auto n = p.number("page", 0, 65535)) r.u16(4, *n);
                } else {
                    r.u8(6, p.word("black") ? 1 : 0);
                }
                if (f && (f->empty() || f->size() > 200))
                    p.fail("file of " + std::string(COMMAND_NAMES[code]) + " is 1 to 200 characters");
                if (f && p.ok()) r.text(7, *f);
                break;
            }
            case C_IF_STORY_FLAG:
                if (auto n = p.number("flag", 0, 255)) r.u16(4, condition(p, *n + 1, jump));
                break;
            case C_SET_STORY_FLAG: {
                if (auto n = p.number("flag", 0, 255)) r.u16(4, *n);
                bool set = p.word("set"), clear = p.word("clear"), toggle = p.word("toggle");
                if (set + clear + toggle != 1) p.fail("set_story_flag takes one of set, clear, toggle");
                r.u8(6, set ? 1 : clear ? 0 : 2);
                break;
            }
            case C_DROP_NEW_ITEM:
            case C_GIVE_NEW_ITEM:
                if (auto d = p.hex("data", RECORD_MAX - 4))
                    for (size_t i = 0; i < d->size(); ++i) r.u8(4 + i, (*d)[i]);
                break;
            case C_DROP_MONEY: {
                long lo = p.number("min", 0, 65535).value_or(0), hi = p.number("max", 0, 65535).value_or(0);
                if (hi < lo) p.fail("max of drop_money is below its min");
                r.u16(4, lo), r.u16(6, hi);
                break;
            }
            case C_IF_RANDOM:
                if (auto n = p.number("below", 0, 100)) r.u16(4, *n);
                if (auto j = p.text("jump")) jump = j->size() > 1 && (*j)[0] == '@' ? j->substr(1) : *j;
                break;
            case C_SET_HOOK:
                set_hook(p, r);
                break;
        }
    }

    static std::optional<int> direction_of(const std::string& s) {
        static const char* const names[4] = {"north", "east", "south", "west"};
        for (int d = 0; d < 4; ++d)
            if (s == names[d] || (s.size() == 1 && s[0] == names[d][0])) return d;
        auto n = parse_number(s);
        if (n && *n >= 0 && *n <= 3) return static_cast<int>(*n);
        return std::nullopt;
    }

    // "+!PLR+!MONST" over the five bits an action toggles.
    static long toggle_mask(command_params& p) {
        static const char* const names[5] = {"AUTOMAP", "!PLR", "!MONST", "!THING", "!SOUND"};
        std::string t = *p.text("mask");
        long mask = 0;
        size_t i = 0;
        while (i < t.size()) {
            size_t j = t.find('+', i + 1);
            if (t[i] != '+') break;
            std::string name = t.substr(i + 1, j == std::string::npos ? std::string::npos : j - i - 1);
            int bit = -1;
            for (int b = 0; b < 5; ++b)
                if (name == names[b]) bit = b;
            if (bit < 0) {
                p.fail("mask is +NAME items of AUTOMAP, !PLR, !MONST, !THING, !SOUND");
                return 0;
            }
            mask |= 1L << bit;
            i = j == std::string::npos ? t.size() : j;
        }
        if (i < t.size() || t.empty()) p.fail("mask is +NAME items of AUTOMAP, !PLR, !MONST, !THING, !SOUND");
        return mask;
    }

    // The target: a place of another map (place=), the map's last place
    // (last), or a sector number and facing (sector=, dir=).
    void load_map(command_params& p, record_bytes& r) {
        auto map = p.text("map");
        if (map && (map->empty() || map->size() > MAP_NAME_BYTES - 1))
            p.fail("map of load_map is a file name of at most 12 characters");
        std::optional<script_place> target;
        if (p.has("place")) {
            auto place = p.text("place");
            if (map && p.ok()) {
                target = context_.remote_place(*map, *place, p.line());
                if (!target) p.failed_quietly();
            }
        } else if (p.word("last")) {
            target = script_place{0, 0};
        } else if (p.has("sector")) {
            target = script_place{static_cast<int>(p.number("sector", 0, 65535).value_or(0)), 0};
            if (auto d = p.has("dir") ? p.text("dir") : std::nullopt) {
                auto dir = direction_of(*d);
                if (!dir) p.fail("dir of load_map is north, east, south or west");
                target->direction = dir.value_or(0);
            }
        } else {
            p.fail("load_map needs place=, sector= or last");
        }
        if (!target || !map || !p.ok()) return;
        r.u16(4, target->sector);
        r.u8(6, static_cast<unsigned>(target->direction));
        r.text(7, *map, MAP_NAME_BYTES);
    }

    // Hook number, the side whose script it runs, whether it cancels what the
    // game was about to do, and for the timed hooks when it fires.
    void set_hook(command_params& p, record_bytes& r) {
        auto hook = p.number("hook", 0, 49);
        auto side = p.side("side");
        bool cancel = p.word("cancel");
        long time = 0;
        int timing = p.has("at") + p.has("after") + p.has("key");
        if (timing > 1) p.fail("set_hook takes one of at=, after=, key=");
        if (p.has("at")) {
            // A time of day hh:mm: stored as -hhmm.
            auto t = p.text("at");
            size_t colon = t->find(':');
            auto h = colon == std::string::npos ? std::nullopt : parse_number(t->substr(0, colon));
            auto m = colon == std::string::npos ? std::nullopt : parse_number(t->substr(colon + 1));
            if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59 || t->size() - colon != 3)
                p.fail("at of set_hook is a time of day hh:mm");
            else
                time = -(*h * 100 + *m);
        } else if (p.has("after")) {
            time = p.number("after", 1, 0x7FFFFFFF).value_or(0);
        } else if (p.has("key")) {
            time = p.number("key", -0x7FFFFFFF, 0x7FFFFFFF).value_or(0);
        }
        if (hook && (p.has("at") || p.has("after")) && (*hook < 38 || *hook > 41))
            p.fail("only the timed hooks 38-41 take at= or after=");
        if (!hook || !side || !p.ok()) return;
        r.u8(3, static_cast<unsigned>(*hook));
        r.u16(4, side->sector);
        r.u8(6, static_cast<unsigned>(side->direction));
        r.u8(7, cancel ? 1 : 0);
        r.u32(8, time);
    }
};

}  // namespace

std::optional<int> action_code_by_name(std::string_view name) {
    for (int c = 0; c < 19; ++c)
        if (name == ACTION_CODE_NAMES[c]) return c;
    auto n = parse_number(name);
    if (n && *n >= 0 && *n <= 255) return static_cast<int>(*n);
    return std::nullopt;
}

std::optional<uint16_t> side_events_by_name(std::string_view names) {
    if (auto n = parse_number(names)) {
        if (*n < 0 || *n > 0xFFFF) return std::nullopt;
        return static_cast<uint16_t>(*n);
    }
    uint16_t events = 0;
    size_t i = 0;
    while (i <= names.size()) {
        size_t j = names.find_first_of("+,", i);
        if (j == std::string_view::npos) j = names.size();
        std::string name = trim(names.substr(i, j - i));
        int bit = -1;
        for (int b = 0; b < 16; ++b)
            if (name == SIDE_EVENT_NAMES[b]) bit = b;
        if (bit < 0) return std::nullopt;
        events = static_cast<uint16_t>(events | 1u << bit);
        i = j + 1;
    }
    return events;
}

std::vector<std::vector<uint8_t>> compile_side_script(const std::vector<script_line>& lines,
                                                      const script_context& context) {
    return script_compiler(context).run(lines);
}

}  // namespace forge
