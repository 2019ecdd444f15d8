// SPDX-License-Identifier: MIT
#pragma once

#include "level/levelstore.h"

#include <string>
#include <vector>

namespace tess::test {

// Stands in for the main window's property fields and question box.
struct FakeHost : LevelHost {
    int number = 0;
    std::string titletext;
    int infotronstext = -1;
    std::int16_t infotronsvalue = 0;
    std::string counter;
    bool gravitybox = false;
    bool answer = true;
    std::vector<std::string> questions;
    int repaints = 0;

    void setlevelnumber(int n) override { number = n; }
    void settitle(const std::string& t) override { titletext = t.substr(0, t.find('\0')); }
    std::string title() const override { return titletext; }
    void setinfotronsneeded(int v) override {
        infotronstext = v;
        infotronsvalue = static_cast<std::int16_t>(v);
    }
    std::int16_t infotronsneeded() const override { return infotronsvalue; }
    void setcounter(const std::string& t) override { counter = t; }
    void setgravity(bool on) override { gravitybox = on; }
    bool gravity() const override { return gravitybox; }
    bool askyesno(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void repaintlevel() override { ++repaints; }
};

} // namespace tess::test
