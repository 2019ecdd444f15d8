// SPDX-License-Identifier: MIT
#include "level/guidetext.h"

#include "level/levelformat.h"
#include "level/tilenames.h"

namespace tess {

namespace {

// What a line says as a marker: which editor's block it opens; neither for the end line.
struct Marker {
    bool marker = false;
    bool desktop = false;
    bool browser = false;
};

Marker markerof(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line == "<!-- desktop -->") return {true, true, false};
    if (line == "<!-- browser -->") return {true, false, true};
    if (line == "<!-- end -->") return {true, false, false};
    return {};
}

} // namespace

std::string guidetext(std::string_view source, Edition edition) {
    std::string out;
    out.reserve(source.size() + 2048);
    bool shown = true;
    while (!source.empty()) {
        const std::size_t eol = source.find('\n');
        const std::string_view line = source.substr(0, eol == std::string_view::npos ? source.size() : eol + 1);
        source.remove_prefix(line.size());
        const Marker m = markerof(line.substr(0, line.size() - (line.back() == '\n')));
        if (m.marker) {
            shown = (!m.desktop && !m.browser) || (m.desktop == (edition == Edition::desktop));
            continue;
        }
        if (shown) out += line;
    }
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += "\n### Die Felder\n\n| Code | Name |\n|---|---|\n";
    for (int code = 0; code < tilecodecount; ++code)
        out += "| " + std::to_string(code) + " | " + tilename(code) + " |\n";
    return out;
}

} // namespace tess
