#include "story/book.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "base/strings.h"

void put_book_number(std::string& out, int value) {
    unsigned rest = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        uint8_t byte = static_cast<uint8_t>(0x40 | (rest & 0x3F));
        rest >>= 6;
        if (rest) byte |= 0x80;
        out.push_back(static_cast<char>(byte));
    } while (rest);
}

bool read_book_number(std::string_view line, size_t& pos, int& value) {
    int64_t result = 0;
    for (int shift = 0; pos < line.size() && shift <= 30; shift += 6) {
        const uint8_t byte = static_cast<uint8_t>(line[pos++]);
        if (!(byte & 0x40)) return false;
        result |= int64_t(byte & 0x3F) << shift;
        if (result > INT_MAX) return false;
        if (!(byte & 0x80)) {
            value = static_cast<int>(result);
            return true;
        }
    }
    return false;
}

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// A tag's name and attributes (names in upper case).
struct book_tag {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    const std::string* find(std::string_view attribute) const {
        for (const auto& [n, v] : attributes)
            if (n == attribute) return &v;
        return nullptr;
    }
};

bool tag_space(char c) {
    return static_cast<uint8_t>(c) <= ' ';
}

book_tag parse_tag(std::string_view body) {
    book_tag tag;
    size_t i = 0;
    auto skip = [&] {
        while (i < body.size() && tag_space(body[i])) ++i;
    };
    skip();
    size_t start = i;
    while (i < body.size() && !tag_space(body[i])) ++i;
    tag.name = upper(body.substr(start, i - start));
    while (true) {
        skip();
        if (i >= body.size()) break;
        start = i;
        while (i < body.size() && !tag_space(body[i]) && body[i] != '=') ++i;
        std::string name = upper(body.substr(start, i - start));
        skip();
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            skip();
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                const char quote = body[i++];
                start = i;
                while (i < body.size() && body[i] != quote) ++i;
                value = std::string(body.substr(start, i - start));
                if (i < body.size()) ++i;
            } else {
                start = i;
                while (i < body.size() && !tag_space(body[i])) ++i;
                value = std::string(body.substr(start, i - start));
            }
        }
        if (name.empty()) {
            ++i;  // a stray "=" or the like
            continue;
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return tag;
}

// A picture name goes into a line between ESC 'p' and ':'.
bool usable_picture_name(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name)
        if (static_cast<uint8_t>(c) <= ' ' || c == ':' || c == '/' || c == '\\') return false;
    return true;
}

// A decimal attribute; `fallback` when it is missing or not a number.
int number_attribute(const book_tag& tag, std::string_view name, int fallback) {
    const std::string* value = tag.find(name);
    if (!value || value->empty()) return fallback;
    char* end = nullptr;
    const long n = std::strtol(value->c_str(), &end, 10);
    if (end == value->c_str()) return fallback;
    return static_cast<int>(std::clamp<long>(n, INT_MIN / 2, INT_MAX / 2));
}

class typesetter {
  public:
    typesetter(const book_metrics& metrics, book_layout& layout, std::vector<std::string>& lines)
        : m(metrics), lay(layout), out(lines) {
        if (lay.last_height <= 0) lay.last_height = std::max(1, m.char_height('X'));
    }

    void character(uint8_t c) {
        if (c < ' ') c = ' ';
        if (c == ' ' && (buffer.empty() || buffer.back() == ' ')) return;
        buffer.push_back(static_cast<char>(c));
        width += m.char_width(c);
        if (c == ' ') return;
        // Over the column: break at the last space, or, in a word longer than
        // the line, before the character that does not fit.
        while (width > lay.column && buffer.size() > 1) {
            const size_t space = buffer.find_last_of(' ');
            const size_t cut = space == std::string::npos ? buffer.size() - 1 : space;
            std::string rest = buffer.substr(space == std::string::npos ? cut : cut + 1);
            buffer.resize(cut);
            emit();
            buffer = rest;
            width = text_width(buffer);
            if (space == std::string::npos) break;
        }
    }

    void tag(const book_tag& t) {
        if (t.name == "P") {
            emit();
            emit();
        } else if (t.name == "BR") {
            emit();
        } else if (t.name == "CENTER") {
            ++centred;
        } else if (t.name == "/CENTER") {
            centred = std::max(0, centred - 1);
        } else if (t.name == "DISTEND") {
            ++justified;
        } else if (t.name == "/DISTEND") {
            justified = std::max(0, justified - 1);
        } else if (t.name == "IMG") {
            picture(t);
        }
    }

    void finish() {
        if (!buffer.empty()) emit();
        end_page();
    }

  private:
    int text_width(std::string_view text) const {
        int w = 0;
        for (char c : text) w += m.char_width(static_cast<uint8_t>(c));
        return w;
    }

    void end_picture() {
        lay.picture_left = 0;
        lay.column = BOOK_COLUMN_WIDTH;
        lay.margin = 0;
    }

    void end_page() {
        out.push_back(std::string{BOOK_ESC, 'e'});
        lay.page_fill = 0;
        end_picture();
    }

    // The line about to be written takes h pixels; a page that would be too
    // full ends first, and the line opens the next one.
    void account_height(int h) {
        lay.page_fill += h;
        if (lay.page_fill > BOOK_PAGE_HEIGHT) {
            end_page();
            lay.page_fill = h;
        }
    }

    static void skip(std::string& line, int w) {
        line.push_back(BOOK_ESC);
        line.push_back('s');
        put_book_number(line, w);
    }

    // Writes the buffer as a line (it may be empty) and clears it.
    void emit() {
        std::string text = std::move(buffer);
        buffer.clear();
        width = 0;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        while (!text.empty() && text.front() == ' ') text.erase(text.begin());
        int h = 0;
        for (char c : text) h = std::max(h, m.char_height(static_cast<uint8_t>(c)));
        if (text.empty() || h <= 0) h = lay.last_height;
        lay.last_height = h;
        account_height(h);

        std::string line;
        const int spaces = static_cast<int>(std::count(text.begin(), text.end(), ' '));
        if (centred > 0) {
            skip(line, lay.margin + (lay.column - text_width(text)) / 2);
            line += text;
        } else if (justified > 0 && spaces > 0) {
            skip(line, lay.margin);
            int letters = 0;
            for (char c : text)
                if (c != ' ') letters += m.char_width(static_cast<uint8_t>(c));
            const int64_t free = lay.column - letters;
            int k = 0;
            for (char c : text) {
                if (c != ' ') {
                    line.push_back(c);
                    continue;
                }
                ++k;
                skip(line, static_cast<int>(free * k / spaces - free * (k - 1) / spaces));
            }
        } else {
            if (lay.margin) skip(line, lay.margin);
            line += text;
        }
        line.push_back(BOOK_ESC);
        line.push_back('l');
        put_book_number(line, h);
        out.push_back(std::move(line));

        if (lay.picture_left > 0) {
            lay.picture_left -= h;
            if (lay.picture_left <= 0) end_picture();
        }
    }

    void picture(const book_tag& t) {
        const std::string* src = t.find("SRC");
        if (!src || !usable_picture_name(*src)) return;
        int w = 0, ph = 0;
        if (!m.picture_size(*src, w, ph) || w <= 0 || ph <= 0) return;
        const int first = std::clamp(number_attribute(t, "LINE", 0), 0, ph);
        int rows = number_attribute(t, "LSIZE", ph - first);
        if (rows < 0) rows = ph - first;
        rows = std::min(rows, ph - first);
        if (rows <= 0) return;
        const std::string* align_value = t.find("ALIGN");
        std::string align = align_value ? upper(*align_value) : "CENTER";
        // Beside a picture wider than the column leaves room for, no text
        // would fit: it stands centred instead.
        if ((align == "LEFT" || align == "RIGHT") && w > BOOK_COLUMN_WIDTH - BOOK_PICTURE_GAP - 32)
            align = "CENTER";
        if (!buffer.empty()) emit();

        std::string line;
        auto place = [&](int x, int y) {
            line.push_back(BOOK_ESC);
            line.push_back('p');
            line += *src;
            line.push_back(':');
            put_book_number(line, x);
            put_book_number(line, y);
            put_book_number(line, first);
            put_book_number(line, rows);
        };
        if (align == "LEFT" || align == "RIGHT") {
            const bool left = align == "LEFT";
            end_picture();
            place(left ? 0 : BOOK_COLUMN_WIDTH - w, lay.page_fill);
            lay.column = BOOK_COLUMN_WIDTH - BOOK_PICTURE_GAP - w;
            lay.margin = left ? w + BOOK_PICTURE_GAP : 0;
            lay.picture_left = rows;
        } else {
            const int above = lay.page_fill;
            lay.page_fill += rows;
            line.push_back(BOOK_ESC);
            line.push_back('l');
            put_book_number(line, rows + lay.last_height);
            place((BOOK_COLUMN_WIDTH - w) / 2, above);
        }
        out.push_back(std::move(line));
    }

    const book_metrics& m;
    book_layout& lay;
    std::vector<std::string>& out;
    std::string buffer;
    int width = 0;
    int centred = 0;
    int justified = 0;
};

}  // namespace

size_t find_book_paragraph(std::string_view source, int number, bool& convert) {
    size_t i = 0;
    while ((i = source.find('[', i)) != std::string_view::npos) {
        ++i;
        size_t digits = i;
        int64_t n = 0;
        while (digits < source.size() && source[digits] >= '0' && source[digits] <= '9' && n <= INT_MAX)
            n = n * 10 + (source[digits++] - '0');
        if (digits == i || n != number) continue;
        convert = false;
        size_t end = digits;
        for (; end < source.size() && source[end] != ']'; ++end) {
            if (source[end] == 'W' || source[end] == 'w') convert = true;
            if (source[end] == 'K' || source[end] == 'k') convert = false;
        }
        return end < source.size() ? end + 1 : source.size();
    }
    return std::string_view::npos;
}

void lay_out_book_paragraph(std::string_view text, bool convert, const book_metrics& metrics,
                            book_layout& layout, std::vector<std::string>& lines) {
    // Text written in Windows-1250 turns into the game's code page; the
    // markup is plain ASCII and passes unchanged.
    std::string converted;
    if (convert) {
        converted = to_game_codepage(text);
        text = converted;
    }
    typesetter set(metrics, layout, lines);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '[') {
            if (i < text.size() && text[i] == ']') break;  // the paragraph's end
            const size_t close = text.find(']', i);
            i = close == std::string_view::npos ? text.size() : close + 1;
        } else if (c == '&') {
            // The next character as text; a control character stays a space,
            // so nothing but the layout's own commands reaches a line.
            if (i < text.size()) set.character(static_cast<uint8_t>(text[i++]));
        } else if (c == '<') {
            const size_t close = text.find('>', i);
            const size_t end = close == std::string_view::npos ? text.size() : close;
            set.tag(parse_tag(text.substr(i, end - i)));
            i = close == std::string_view::npos ? text.size() : close + 1;
        } else {
            set.character(static_cast<uint8_t>(c));
        }
    }
    set.finish();
}

bool book_add_text(std::string_view source, int number, const book_metrics& metrics, book_layout& layout,
                   std::vector<std::string>& lines) {
    bool convert = false;
    const size_t start = find_book_paragraph(source, number, convert);
    if (start == std::string_view::npos) return false;
    lay_out_book_paragraph(source.substr(start), convert, metrics, layout, lines);
    return true;
}

namespace {

// Walks one line's characters and commands. Returns false at a damaged
// command (the rest of the line is left).
template <class Visitor>
bool walk_line(std::string_view line, Visitor&& visit) {
    size_t i = 0;
    while (i < line.size()) {
        const uint8_t c = static_cast<uint8_t>(line[i++]);
        if (c != static_cast<uint8_t>(BOOK_ESC)) {
            visit.character(c);
            continue;
        }
        if (i >= line.size()) return false;
        const char command = line[i++];
        int a = 0, b = 0, first = 0, rows = 0;
        switch (command) {
            case 'l':
                if (!read_book_number(line, i, a)) return false;
                visit.down(a);
                break;
            case 's':
                if (!read_book_number(line, i, a)) return false;
                visit.right(a);
                break;
            case 'e':
                visit.page_end();
                break;
            case 'p': {
                const size_t colon = line.find(':', i);
                if (colon == std::string_view::npos) return false;
                const std::string name(line.substr(i, colon - i));
                i = colon + 1;
                if (!read_book_number(line, i, a) || !read_book_number(line, i, b) ||
                    !read_book_number(line, i, first) || !read_book_number(line, i, rows))
                    return false;
                visit.picture(name, a, b, first, rows);
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

struct page_end_counter {
    int pages = 0;
    void character(uint8_t) {}
    void down(int) {}
    void right(int) {}
    void page_end() { ++pages; }
    void picture(const std::string&, int, int, int, int) {}
};

struct page_painter {
    book_canvas& canvas;
    int origin_x, origin_y;
    int x = origin_x, y = origin_y;
    bool ended = false;
    bool drawing = true;
    void character(uint8_t c) {
        if (drawing) canvas.glyph(x, y, c);
        x += canvas.char_width(c);
    }
    void down(int h) {
        y += h;
        x = origin_x;
    }
    void right(int w) { x += w; }
    void page_end() { ended = true; }
    void picture(const std::string& name, int px, int py, int first, int rows) {
        if (drawing && int64_t(py) + rows <= BOOK_PAGE_HEIGHT)
            canvas.picture(name, origin_x + px, origin_y + py, first, rows);
    }
};

// Draws (or, with draw false, passes over) one page from line `at`; returns
// the line after its end.
size_t paint_page(const std::vector<std::string>& lines, size_t at, int origin_x, book_canvas& canvas,
                  bool draw) {
    page_painter painter{canvas, origin_x, BOOK_PAGE_Y};
    painter.drawing = draw;
    while (at < lines.size() && !painter.ended) walk_line(lines[at++], painter);
    return at;
}

}  // namespace

int book_page_count(const std::vector<std::string>& lines) {
    page_end_counter counter;
    for (const std::string& line : lines) walk_line(line, counter);
    return counter.pages;
}

int book_page_in_range(int page, int page_count) {
    return std::max(1, std::min(page, (page_count - 1) | 1));
}

void draw_book_pages(const std::vector<std::string>& lines, int page, book_canvas& canvas) {
    size_t at = 0;
    for (int skip = page - 1; skip > 0 && at < lines.size(); --skip)
        at = paint_page(lines, at, 0, canvas, false);
    at = paint_page(lines, at, BOOK_LEFT_PAGE_X, canvas, true);
    paint_page(lines, at, BOOK_RIGHT_PAGE_X, canvas, true);
}
