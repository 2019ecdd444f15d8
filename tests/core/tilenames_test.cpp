// SPDX-License-Identifier: MIT
#include "level/levelformat.h"
#include "level/tilenames.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

using namespace tess;

// Every code with a picture has a name of its own; a port's name says its
// flag and arrow; the README lists the same names and holds the guide.
TEST(TileNames, EveryCodeNamedOnceAndListedInTheReadme) {
    std::ifstream in(TESS_README);
    std::stringstream readme;
    readme << in.rdbuf();
    std::set<std::string> seen;
    for (int code = 0; code < tilecodecount; ++code) {
        const std::string name = tilename(code);
        EXPECT_FALSE(name.empty() || name == tilename(-1)) << code;
        EXPECT_TRUE(seen.insert(name).second) << name;
        const char* flag = isport1(static_cast<std::uint8_t>(code))   ? "Flag 1 (roter Pfeil)"
                           : isport0(static_cast<std::uint8_t>(code)) ? "Flag 0 (grüner Pfeil)"
                                                                      : nullptr;
        EXPECT_EQ(flag != nullptr, name.find("Gravitationsschalter") != std::string::npos) << code;
        if (flag) {
            EXPECT_NE(name.find(flag), std::string::npos) << code;
        }
        const std::string row = "| " + std::to_string(code) + " | " + name + " |";
        EXPECT_NE(readme.str().find(row), std::string::npos) << row;
    }
    std::ifstream guide(TESS_GUIDE);
    std::stringstream text;
    text << guide.rdbuf();
    EXPECT_TRUE(text.str().size() > 1000 && readme.str().find(text.str()) != std::string::npos); // the guide, word for word
    EXPECT_EQ(std::string(tilename(tilecodecount)), "unbekannter Code");
    EXPECT_EQ(tilelabel(4), "Code 4: Infotron");
}
