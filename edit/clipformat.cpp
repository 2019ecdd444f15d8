// SPDX-License-Identifier: MIT
#include "edit/clipformat.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tess {

namespace {

constexpr char cellsmagic[4] = {'T', 'S', 'C', 'L'};
constexpr char levelmagic[4] = {'T', 'S', 'L', 'V'};
constexpr std::uint8_t version = 1;
constexpr std::size_t cellshead = 9;  // magic, version, left, top, width, height
constexpr std::size_t levelhead = 5;  // magic, version

struct Box {
    int left = gridcols, top = gridrows, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

Box cellbox(const Layer& clipboard) {
    Box b;
    for (int i = 0; i < cellcount; ++i) {
        if (clipboard[i] == emptyclip) continue;
        const int col = i % gridcols, row = i / gridcols;
        b.left = std::min(b.left, col);
        b.right = std::max(b.right, col);
        b.top = std::min(b.top, row);
        b.bottom = std::max(b.bottom, row);
    }
    return b;
}

constexpr char digits[] = "0123456789ABCDEF";
constexpr std::string_view cellshead1 = "Tessaron-Zellen 1 Spalte ";
constexpr std::string_view cellshead2 = " Zeile ";
constexpr std::string_view levelhead1 = "Tessaron-Level 1";

// The parts of a record after its cells, in the record's order; the title is
// written as text.
struct Part {
    std::string_view name;
    int offset, length;
};
constexpr Part parts[] = {
    {"Reserve", off_reserved1, off_gravity - off_reserved1},
    {"Gravitation", off_gravity, 1},
    {"Leerzeichen", off_fixedspace, 1},
    {"Titel", off_title, titlelen},
    {"Reserve", off_reserved2, off_infotrons - off_reserved2},
    {"Infotrons", off_infotrons, 1},
    {"Schalter", off_switchcount, 1},
    {"Schaltertabelle", off_switches, reclen - off_switches},
};
static_assert(off_reserved1 == cellcount && off_title + titlelen == off_reserved2 &&
              off_switchcount + 1 == off_switches);

void hexrow(std::string& out, const std::uint8_t* codes, int n, bool clip) {
    for (int i = 0; i < n; ++i) {
        if (i) out += ' ';
        const std::uint8_t c = codes[i];
        if (clip && c == emptyclip) {
            out += "..";
            continue;
        }
        const std::uint8_t code = clip ? std::uint8_t(c & ~markbit) : c;
        out += digits[code >> 4];
        out += digits[code & 15];
    }
    out += '\n';
}

} // namespace

bool anycells(const Layer& clipboard) {
    return std::any_of(clipboard.begin(), clipboard.end(), [](std::uint8_t c) { return c != emptyclip; });
}

std::vector<std::uint8_t> encodecells(const Layer& clipboard) {
    const Box b = cellbox(clipboard);
    if (b.empty()) return {};
    const int w = b.right - b.left + 1, h = b.bottom - b.top + 1;
    std::vector<std::uint8_t> out(cellsmagic, cellsmagic + 4);
    for (int v : {int(version), b.left, b.top, w, h}) out.push_back(std::uint8_t(v));
    for (int row = b.top; row <= b.bottom; ++row)
        for (int col = b.left; col <= b.right; ++col) out.push_back(clipboard[cellindex(col, row)]);
    return out;
}

bool decodecells(const std::uint8_t* data, std::size_t size, Layer& clipboard) {
    if (!data || size < cellshead || std::memcmp(data, cellsmagic, 4) != 0 || data[4] != version) return false;
    const int left = data[5], top = data[6], w = data[7], h = data[8];
    if (w < 1 || h < 1 || left + w > gridcols || top + h > gridrows) return false;
    if (size != cellshead + std::size_t(w) * std::size_t(h)) return false;
    const std::uint8_t* cells = data + cellshead;
    bool any = false;
    for (int i = 0; i < w * h; ++i) {
        // Only what a clipboard can hold: a marked byte, or no cell.
        if (cells[i] != emptyclip && !(cells[i] & markbit)) return false;
        any = any || cells[i] != emptyclip;
    }
    if (!any) return false;
    clipboard.fill(emptyclip);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) clipboard[cellindex(left + col, top + row)] = cells[row * w + col];
    return true;
}

std::vector<std::uint8_t> encodelevel(const LevelRecord& record) {
    std::vector<std::uint8_t> out(levelmagic, levelmagic + 4);
    out.push_back(version);
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

bool decodelevel(const std::uint8_t* data, std::size_t size, LevelRecord& record) {
    if (!data || size != levelhead + reclen || std::memcmp(data, levelmagic, 4) != 0 || data[4] != version)
        return false;
    std::copy(data + levelhead, data + size, record.begin());
    return true;
}

namespace {

// The lines of a text with CR, spaces and tabs at their ends dropped; views
// into the text, so that nothing is allocated for them.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}
    bool next(std::string_view& line) {
        if (rest_.empty()) return false;
        const std::size_t nl = rest_.find('\n');
        line = rest_.substr(0, nl);
        rest_ = nl == std::string_view::npos ? std::string_view() : rest_.substr(nl + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        return true;
    }
    // True when nothing but empty lines is left.
    bool atend() {
        for (std::string_view line; next(line);)
            if (!line.empty()) return false;
        return true;
    }

private:
    std::string_view rest_;
};

int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads a row of two-character tokens separated by single spaces into out,
// at most max of them: hex bytes, and in a clipboard row ".." for no cell
// and codes below the mark bit, stored marked. The count read, 0 when the
// row is none.
int readhexrow(std::string_view line, std::uint8_t* out, int max, bool clip) {
    if (line.size() % 3 != 2 || line.size() / 3 + 1 > std::size_t(max)) return 0;
    const int n = int(line.size() / 3) + 1;
    for (int i = 0; i < n; ++i) {
        const char a = line[3 * i], b = line[3 * i + 1];
        if (i + 1 < n && line[3 * i + 2] != ' ') return 0;
        if (clip && a == '.' && b == '.') {
            out[i] = emptyclip;
            continue;
        }
        const int hi = hexdigit(a), lo = hexdigit(b);
        if (hi < 0 || lo < 0 || (clip && hi >= 8)) return 0;
        out[i] = std::uint8_t(hi * 16 + lo) | (clip ? markbit : 0);
    }
    return n;
}

// A column or row number: decimal without leading zeros, below limit.
bool readnumber(std::string_view& line, int limit, int& value) {
    std::size_t n = 0;
    value = 0;
    while (n < line.size() && n < 3 && line[n] >= '0' && line[n] <= '9') value = value * 10 + (line[n++] - '0');
    if (n == 0 || (n > 1 && line[0] == '0') || value >= limit) return false;
    line.remove_prefix(n);
    return true;
}

bool readprefix(std::string_view& line, std::string_view prefix) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    line.remove_prefix(prefix.size());
    return true;
}

bool plain(std::uint8_t c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; }

bool readtitle(std::string_view line, std::uint8_t* out) {
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
    line = line.substr(1, line.size() - 2);
    for (int i = 0; i < titlelen; ++i) {
        if (line.empty()) return false;
        const auto c = std::uint8_t(line[0]);
        if (plain(c)) {
            out[i] = c;
            line.remove_prefix(1);
            continue;
        }
        if (line.size() < 4 || line[0] != '\\' || line[1] != 'x') return false;
        const int hi = hexdigit(line[2]), lo = hexdigit(line[3]);
        // Only what the writer escapes may be escaped: one spelling per title.
        if (hi < 0 || lo < 0 || plain(std::uint8_t(hi * 16 + lo))) return false;
        out[i] = std::uint8_t(hi * 16 + lo);
        line.remove_prefix(4);
    }
    return line.empty();
}

} // namespace

std::string cellstext(const Layer& clipboard) {
    const Box b = cellbox(clipboard);
    if (b.empty()) return {};
    std::string out = std::string(cellshead1) + std::to_string(b.left) + std::string(cellshead2) +
                      std::to_string(b.top) + '\n';
    for (int row = b.top; row <= b.bottom; ++row)
        hexrow(out, clipboard.data() + cellindex(b.left, row), b.right - b.left + 1, true);
    return out;
}

std::string leveltext(const LevelRecord& record) {
    std::string out = std::string(levelhead1) + '\n';
    for (int row = 0; row < gridrows; ++row) hexrow(out, record.data() + cellindex(0, row), gridcols, false);
    for (const Part& p : parts) {
        out += p.name;
        out += ' ';
        if (p.offset != off_title) {
            hexrow(out, record.data() + p.offset, p.length, false);
            continue;
        }
        out += '"';
        for (int i = 0; i < p.length; ++i) {
            const std::uint8_t c = record[std::size_t(p.offset + i)];
            if (plain(c)) out += char(c);
            else out += {'\\', 'x', digits[c >> 4], digits[c & 15]};
        }
        out += "\"\n";
    }
    return out;
}

bool readcellstext(const char* text, std::size_t size, Layer& clipboard) {
    if (!text || size > cliptextmax) return false;
    Lines lines({text, size});
    std::string_view line;
    int left = 0, top = 0;
    if (!lines.next(line) || !readprefix(line, cellshead1) || !readnumber(line, gridcols, left) ||
        !readprefix(line, cellshead2) || !readnumber(line, gridrows, top) || !line.empty())
        return false;
    Layer cells;
    cells.fill(emptyclip);
    int width = 0, row = top;
    while (lines.next(line) && !line.empty()) {
        if (row == gridrows) return false;
        const int n = readhexrow(line, cells.data() + cellindex(left, row), gridcols - left, true);
        if (n == 0 || (width && n != width)) return false;
        width = n;
        ++row;
    }
    if (!lines.atend() || !anycells(cells)) return false;
    clipboard = cells;
    return true;
}

bool readleveltext(const char* text, std::size_t size, LevelRecord& record) {
    if (!text || size > cliptextmax) return false;
    Lines lines({text, size});
    std::string_view line;
    if (!lines.next(line) || line != levelhead1) return false;
    LevelRecord read;
    for (int row = 0; row < gridrows; ++row)
        if (!lines.next(line) || readhexrow(line, read.data() + cellindex(0, row), gridcols, false) != gridcols)
            return false;
    for (const Part& p : parts) {
        std::uint8_t* to = read.data() + p.offset;
        if (!lines.next(line) || !readprefix(line, p.name) || !readprefix(line, " ")) return false;
        if (p.offset == off_title ? !readtitle(line, to) : readhexrow(line, to, p.length, false) != p.length)
            return false;
    }
    if (!lines.atend()) return false;
    record = read;
    return true;
}

} // namespace tess
