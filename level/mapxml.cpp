// SPDX-License-Identifier: MIT
#include "level/mapxml.h"

#include "level/mapreader.h"
#include "level/utf8.h"

#include <algorithm>
#include <cstdint>

namespace tess::mapread {

namespace {

bool xmlchar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool namestart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80; }
bool namechar(unsigned char c) { return namestart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// More than a map's elements ever carry; also keeps the duplicate check cheap.
constexpr std::size_t attributelimit = 64;

} // namespace

MapXml::MapXml(std::string_view text) : src_(text) {
    // Everything past the first character XML forbids (or malformed UTF-8)
    // is out of reach; reaching it is the fault.
    end_ = src_.size();
    for (std::size_t i = 0; i < src_.size();) {
        const std::size_t here = i;
        const bool ascii = static_cast<unsigned char>(src_[i]) < 0x80;
        const char32_t c = ascii ? char32_t(src_[i++]) : nextcodepoint(src_, i);
        if (!xmlchar(c) || (c == 0xFFFD && !(src_.substr(here, 3) == "\xEF\xBF\xBD"))) {
            end_ = here;
            badchar_ = true;
            break;
        }
    }
    if (at("\xEF\xBB\xBF")) pos_ = 3;
}

// What ends the reach: a forbidden character or the end of the text.
std::string MapXml::cut() const {
    return badchar_ ? mapread::text("mapxmlchar") : mapread::text("mapxmlend");
}

// At the reach's end, what ends it; otherwise a fault of form.
std::string MapXml::syntax() const { return pos_ < end_ ? mapread::text("mapxmlsyntax") : cut(); }

MapXml::Token MapXml::fail(std::size_t where, std::string message) {
    if (token_ != invalid) {
        faultat_ = where;
        fault_ = std::move(message);
    }
    return token_ = invalid;
}

std::string MapXml::fault() const {
    if (token_ != invalid) return {};
    int line = 1, column = 1;
    for (std::size_t i = 0; i < faultat_ && i < src_.size();) {
        if (src_[i] == '\n') {
            ++line, column = 1, ++i;
        } else {
            nextcodepoint(src_, i);
            ++column;
        }
    }
    return mapread::text("mapxmlerror", {num(line), num(column), fault_});
}

void MapXml::skipspace() {
    while (pos_ < end_ && space(src_[pos_])) ++pos_;
}

bool MapXml::readname(std::string_view& out) {
    const std::size_t first = pos_;
    if (pos_ >= end_ || !namestart(static_cast<unsigned char>(src_[pos_]))) return false;
    while (pos_ < end_ && namechar(static_cast<unsigned char>(src_[pos_]))) ++pos_;
    out = src_.substr(first, pos_ - first);
    return true;
}

// At '&': a named or numeric reference, appended to out.
bool MapXml::readreference(std::string& out) {
    const std::size_t first = pos_;
    const std::size_t semi = src_.find(';', pos_);
    if (semi == src_.npos || semi >= end_ || semi - pos_ > 12) {
        fail(first, mapread::text("mapxmlreference", {excerpt(src_.substr(first, std::min<std::size_t>(12, end_ - first)))}));
        return false;
    }
    const std::string_view ref = src_.substr(pos_ + 1, semi - pos_ - 1);
    pos_ = semi + 1;
    static constexpr std::pair<std::string_view, char> named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& [key, c] : named)
        if (ref == key) {
            out += c;
            return true;
        }
    if (ref.size() >= 2 && ref[0] == '#') {
        const bool hex = ref[1] == 'x';
        std::uint32_t v = 0;
        bool ok = ref.size() > (hex ? 2u : 1u);
        for (std::size_t i = hex ? 2 : 1; ok && i < ref.size(); ++i) {
            const char c = ref[i];
            const int d = c >= '0' && c <= '9' ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
            ok = d >= 0 && v <= 0x10FFFF;
            v = v * (hex ? 16 : 10) + std::uint32_t(d);
        }
        if (ok && xmlchar(v)) {
            appendutf8(out, v);
            return true;
        }
    }
    fail(first, mapread::text("mapxmlreference", {excerpt(src_.substr(first, semi + 1 - first))}));
    return false;
}

// A quoted attribute value; line breaks and tabs in it read as spaces, as
// XML has them, while the same written as references are kept.
bool MapXml::readvalue(std::string& out) {
    if (pos_ >= end_ || (src_[pos_] != '"' && src_[pos_] != '\'')) return false;
    const char quote = src_[pos_++];
    while (pos_ < end_ && src_[pos_] != quote) {
        const char c = src_[pos_];
        if (c == '<') return false;
        if (c == '&') {
            if (!readreference(out)) return false;
            continue;
        }
        if (c == '\r' && pos_ + 1 < end_ && src_[pos_ + 1] == '\n') ++pos_;
        out += space(c) ? ' ' : c;
        ++pos_;
    }
    if (pos_ >= end_) return false;
    ++pos_;
    return true;
}

// At '<' of a start tag.
MapXml::Token MapXml::readtag() {
    const std::size_t first = pos_++;
    if (rootseen_ && open_.empty()) return fail(first, mapread::text("mapxmlsecondroot"));
    if (!readname(name_)) return fail(pos_, syntax());
    attributes_.clear();
    for (;;) {
        const std::size_t before = pos_;
        skipspace();
        if (pos_ >= end_) return fail(end_, cut());
        if (src_[pos_] == '>' || at("/>")) break;
        std::string_view key;
        if (before == pos_ || !readname(key)) return fail(pos_, syntax());
        skipspace();
        if (pos_ >= end_ || src_[pos_] != '=') return fail(pos_, syntax());
        ++pos_;
        skipspace();
        std::string value;
        if (!readvalue(value)) return fail(pos_, syntax());
        if (attributes_.size() == attributelimit)
            return fail(before, mapread::text("mapxmlattributes", {num(std::int64_t(attributelimit))}));
        for (const auto& a : attributes_)
            if (a.first == key) return fail(before, mapread::text("mapxmltwice", {excerpt(key)}));
        attributes_.emplace_back(key, std::move(value));
    }
    pendingend_ = src_[pos_] == '/';
    pos_ += pendingend_ ? 2 : 1;
    if (int(open_.size()) >= mapnestinglimit) {
        toodeep_ = true;
        return fail(first, mapread::text("mapxmldeep"));
    }
    open_.push_back(name_);
    rootseen_ = true;
    return token_ = start;
}

// At "</".
MapXml::Token MapXml::readendtag() {
    const std::size_t first = pos_;
    pos_ += 2;
    std::string_view closing;
    if (!readname(closing)) return fail(pos_, syntax());
    skipspace();
    if (pos_ >= end_ || src_[pos_] != '>') return fail(pos_, syntax());
    ++pos_;
    if (open_.empty() || open_.back() != closing)
        return fail(first, mapread::text("mapxmlmismatch", {excerpt(closing)}));
    name_ = closing;
    open_.pop_back();
    return token_ = end;
}

bool MapXml::skipmisc() {
    const std::size_t first = pos_;
    if (at("<!--")) {
        const std::size_t close = src_.find("-->", pos_ + 4);
        if (close == src_.npos || close + 3 > end_) return fail(end_, cut()), false;
        pos_ = close + 3;
        return true;
    }
    if (at("<?")) {
        pos_ += 2;
        std::string_view target;
        if (!readname(target)) return fail(pos_, syntax()), false;
        const std::size_t close = src_.find("?>", pos_);
        if (close == src_.npos || close + 2 > end_) return fail(end_, cut()), false;
        const bool declaration = target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
                                 (target[2] | 0x20) == 'l';
        if (declaration) {
            if (target != "xml" || first != (src_.substr(0, 3) == "\xEF\xBB\xBF" ? 3u : 0u))
                return fail(first, syntax()), false;
            const std::string_view body = src_.substr(pos_, close - pos_);
            const std::size_t enc = body.find("encoding");
            if (enc != body.npos) {
                std::size_t q = body.find_first_of("\"'", enc);
                const std::size_t qe = q == body.npos ? q : body.find(body[q], q + 1);
                const std::string_view name = q == body.npos || qe == body.npos ? body.substr(enc) : body.substr(q + 1, qe - q - 1);
                std::string lower;
                for (const char c : name) lower += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
                if (lower != "utf-8" && lower != "utf8")
                    return fail(first, mapread::text("mapxmlencoding", {excerpt(name)})), false;
            }
        }
        pos_ = close + 2;
        return true;
    }
    return fail(first, (at("<!DOCTYPE") ? mapread::text("mapxmldoctype") : syntax())), false;
}

MapXml::Token MapXml::next() {
    if (atend()) return token_;
    if (pendingend_) {
        pendingend_ = false;
        open_.pop_back();
        return token_ = end;
    }
    text_.clear();
    for (;;) {
        if (pos_ >= end_) return badchar_ || !rootseen_ || !open_.empty() ? fail(end_, cut()) : (token_ = done);
        if (src_[pos_] != '<') {
            // Characters, up to the next tag.
            const std::size_t first = pos_;
            std::string text;
            bool blank = true;
            while (pos_ < end_ && src_[pos_] != '<') {
                const char c = src_[pos_];
                if (c == '&') {
                    if (!readreference(text)) return token_;
                    blank = false;
                    continue;
                }
                if (c == '\r') {
                    if (pos_ + 1 < end_ && src_[pos_ + 1] == '\n') ++pos_;
                    text += '\n';
                } else {
                    text += c;
                }
                blank = blank && space(c);
                ++pos_;
            }
            if (open_.empty()) {
                if (!blank) return fail(first, (rootseen_ ? mapread::text("mapxmlafterroot") : syntax()));
                continue;
            }
            text_ = std::move(text);
            return token_ = characters;
        }
        if (at("<![CDATA[")) {
            if (open_.empty()) return fail(pos_, syntax());
            const std::size_t close = src_.find("]]>", pos_ + 9);
            if (close == src_.npos || close + 3 > end_) return fail(end_, cut());
            text_.assign(src_.substr(pos_ + 9, close - pos_ - 9));
            pos_ = close + 3;
            return token_ = characters;
        }
        if (at("</")) return readendtag();
        if (at("<!") || at("<?")) {
            if (!skipmisc()) return token_;
            continue;
        }
        return readtag();
    }
}

bool MapXml::nextstart() {
    while (!atend()) {
        next();
        if (token_ == start) return true;
        if (token_ == end) return false;
    }
    return false;
}

void MapXml::skipelement() {
    for (int depth = 1; depth > 0 && !atend();) {
        next();
        if (token_ == start) ++depth;
        if (token_ == end) --depth;
    }
}

std::string MapXml::elementtext() {
    std::string out;
    while (!atend()) {
        next();
        if (token_ == characters) out += text_;
        if (token_ == start) skipelement();
        else if (token_ == end) break;
    }
    return out;
}

const std::string* MapXml::attribute(std::string_view key) const {
    for (const auto& a : attributes_)
        if (a.first == key) return &a.second;
    return nullptr;
}

} // namespace tess::mapread
