// SPDX-License-Identifier: MIT
#pragma once

// The pack in memory, the working copy of the current level, and the moves
// between them: new pack, select, store back, count infotrons.

#include "level/levelformat.h"

#include <cstdint>
#include <string>

namespace tess {


struct LevelStore {
    LevelPack levelpack{};
    LevelRecord curlevel{};
    std::int32_t levelnr = 0;
};

// What the store needs from the main window: the property fields, the
// yes/no question and a repaint of the level view.
class LevelHost {
public:
    virtual ~LevelHost() = default;
    virtual void setlevelnumber(int number) = 0; // Edit1
    // Edit2 shows the bytes up to the first zero byte, as Latin-1.
    virtual void settitle(const std::string& latin1) = 0;
    // Edit2's text as Latin-1 bytes; characters Latin-1 cannot hold become '?'.
    virtual std::string title() const = 0;
    virtual void setinfotronsneeded(int value) = 0; // Edit3's text
    virtual std::int16_t infotronsneeded() const = 0; // UpDown2's position
    virtual void setcounter(const std::string& text) = 0; // Label4
    virtual void setgravity(bool on) = 0; // CheckBox1
    virtual bool gravity() const = 0;
    // A yes/no question with caption "Bestätigung"; text is UTF-8. True only for yes.
    virtual bool askyesno(const std::string& text) = 0;
    virtual void repaintlevel() = 0; // full repaint of the level view, at once
};

inline constexpr const char* switchlimitquestion =
    "In einem Level können maximal 11 Gravitationsschalter existieren. Die restlichen werden "
    "ignoriert. Trotzdem fortfahren?";

// The generated title of level number (1..111): "-------LEVEL-007-------".
std::string newleveltitle(int number);

// Replaces the pack by 111 empty titled levels (the levels only; selecting
// level 1 with its layers is edit/levelselect.h's newlevelpack).
void newlevels(LevelStore& store);
// Level number (1..111) as a new pack holds it until it is first stored:
// no border yet, every cell empty, only the title and the fixed space set.
LevelRecord newpacklevel(int number);

// Turns the switch table of a record into editor codes: flag-0 entries turn
// ports 13..16 into 40..43. Reads at most 11 entries and ignores entries that
// point outside the grid; other codes are left as they are.
void decodeswitches(LevelRecord& rec);

// Loads record index (0..110) into curlevel, decodes its switches and shows
// its properties. The layers over curlevel and the repaint are the editing
// side's: edit/levelselect.h's selectlevel does all of it.
void loadlevel(LevelStore& store, LevelHost& host, int index);

// The properties that the main window supplies when a level is stored.
struct StoreFields {
    std::int16_t infotronsneeded = 0;
    bool gravity = false;
    std::string title; // Latin-1 bytes, cut to 23
};

struct BuiltRecord {
    LevelRecord record{};
    int switchesfound = 0; // ports found by the scan, also those beyond the 11th
};

// Builds the record that storing curlevel writes: marks cleared, switch table
// encoded in scan order (at most 11 entries, 40..43 back to 13..16), fixed
// bytes, properties, and the border ring set to code 6 after the scan.
BuiltRecord buildrecord(const LevelRecord& curlevel, const StoreFields& fields);

// The property fields as the host shows them now.
StoreFields readfields(const LevelHost& host);

// The pack as saving it now would write it: curlevel built into its record.
// Asks nothing and changes nothing.
LevelPack packimage(const LevelStore& store, const StoreFields& fields);

// What selecting record and storing it back untouched writes, with the
// properties as the window shows them (the title up to its first zero byte),
// repeated until a store-back changes nothing more: two records with the
// same result differ only by what the editor itself writes.
LevelRecord storedback(const LevelRecord& record);

// Stores curlevel into record levelnr. Asks first when more than 11 switches
// were found; returns false (and stores nothing) unless the answer is yes.
bool savebacklevel(LevelStore& store, LevelHost& host);

// Interior cells of the level whose byte is exactly 4 (a marked infotron is not counted).
int countinfotrons(const LevelRecord& level);

// " / 007": the counter text, at least three digits.
std::string countertext(int count);

// The 3108-byte level list: per record "--", its 23 title bytes, "--", 0x00.
LevelList buildlevellist(const LevelPack& pack);

// Why a file of size bytes is no pack, in German, to follow "could not be
// loaded:"; empty for 170496 bytes or more. A level list is named as such.
std::string packsizeproblem(std::uint64_t size);
// What loading a file of size bytes leaves out, in German: a longer file
// loads its first 170496 bytes, and a save onto it would cut the rest. Empty
// for a file no longer than a pack.
std::string packsizewarning(std::uint64_t size);

// The pack held in the 170496 bytes at data, record after record.
void packfrombytes(const std::uint8_t* data, LevelPack& pack);

} // namespace tess
