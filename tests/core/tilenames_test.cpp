// SPDX-License-Identifier: MIT
#include "level/captions.h"
#include "level/levelformat.h"
#include "level/tilenames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
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

// The texts of both front-ends come from one table: every key the desktop
// (caption, captiontext, filefault in the file readers) or the page (text,
// data-caption, data-tip) asks for is in it once, and every key in it is
// asked for by one of them.
TEST(Captions, TheTableHoldsWhatBothFrontEndsAskForAndNoMore) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(TESS_README).parent_path();
    const std::regex asked(R"re((?:\bcaption|\bcaptiontext|\btext|\bfilefault)\("(\w+)"|data-(?:caption|tip)="(\w+)")re");
    std::map<std::string, std::string> users; // key -> a file that asks for it
    for (const char* folder : {"ui", "web/src", "web", "level"}) {
        for (const fs::directory_entry& e : fs::directory_iterator(root / folder)) {
            const std::string ext = e.path().extension().string();
            if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h" && ext != ".ts" && ext != ".html")) continue;
            std::ifstream in(e.path());
            std::stringstream source;
            source << in.rdbuf();
            const std::string text = source.str();
            for (std::sregex_iterator m(text.begin(), text.end(), asked), end; m != end; ++m)
                users.emplace((*m)[1].matched ? (*m)[1].str() : (*m)[2].str(), e.path().filename().string());
        }
    }
    EXPECT_GT(users.size(), 60u); // the folders were read
    std::set<std::string> keys;
    for (const Caption& c : captions()) {
        EXPECT_TRUE(keys.insert(c.key).second) << "twice: " << c.key;
        EXPECT_TRUE(users.count(c.key)) << "asked for by no front-end: " << c.key;
    }
    for (const auto& [key, file] : users) EXPECT_TRUE(keys.count(key)) << file << " asks for " << key;
}
