// SPDX-License-Identifier: MIT
#pragma once

// The XML reader under the TMX reader: a pull reader over UTF-8 text that
// checks what it passes (names, tags in pairs, one root, quoted attributes
// without duplicates, the five named and the numeric character references,
// characters XML allows) and refuses what a map never holds (a DOCTYPE and
// its entities, encodings other than UTF-8). Elements deeper than
// mapnestinglimit are a fault of their own, so that its stack stays small.
//
// Tokens as the map readers walk them: an empty element gives its start and
// its end; comments, processing instructions and the declaration are passed.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tess::mapread {

class MapXml {
public:
    enum Token { none, start, end, characters, done, invalid };

    explicit MapXml(std::string_view text);

    Token next();
    // The next start element inside the current one: true at its start,
    // false at the current element's end or when nothing more can be read.
    bool nextstart();
    // Reads past the end of the element whose start was the last token.
    void skipelement();
    // The text of the element whose start was the last token, child
    // elements passed over; the reader stands at its end.
    std::string elementtext();

    Token token() const { return token_; }
    bool atend() const { return token_ == done || token_ == invalid; }
    std::string_view name() const { return name_; }
    // The attribute's value with references resolved, or nullptr.
    const std::string* attribute(std::string_view key) const;
    const std::string& text() const { return text_; }
    // True once an element nested deeper than mapnestinglimit was met.
    bool toodeep() const { return toodeep_; }
    // The fault in German with its line and column; empty when there is none.
    std::string fault() const;

private:
    Token fail(std::size_t at, std::string message);
    std::string cut() const;
    std::string syntax() const;
    Token readtag();
    Token readendtag();
    bool skipmisc(); // comments, PIs; false on a fault
    bool readname(std::string_view& out);
    bool readreference(std::string& out);
    bool readvalue(std::string& out);
    void skipspace();
    bool at(std::string_view s) const { return src_.substr(pos_, s.size()) == s; }

    std::string_view src_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;     // the first character XML does not allow, or the size
    bool badchar_ = false;    // end_ stands at such a character
    Token token_ = none;
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string>> attributes_;
    std::string text_;
    std::vector<std::string_view> open_;
    bool pendingend_ = false; // an empty element's end is due
    bool rootseen_ = false;
    bool toodeep_ = false;
    std::size_t faultat_ = 0;
    std::string fault_;
};

} // namespace tess::mapread
