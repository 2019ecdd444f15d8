// SPDX-License-Identifier: MIT
#include "edit/packreplace.h"

#include "level/levelstore.h"

#include <algorithm>

namespace tess {

namespace {

bool isport(std::uint8_t code) { return isport1(code) || isport0(code); }

} // namespace

RecordReplace replaceinrecord(const LevelRecord& rec, std::uint8_t from, std::uint8_t to, LevelRecord* out) {
    RecordReplace r;
    from &= static_cast<std::uint8_t>(~markbit);
    to &= static_cast<std::uint8_t>(~markbit);
    if (from == to) return r;
    LevelRecord work = rec;
    decodeswitches(work);
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            std::uint8_t& b = work[cellindex(col, row)];
            if ((b & ~markbit) != from) continue;
            b = static_cast<std::uint8_t>((b & markbit) | to);
            ++r.cells;
        }
    if (r.cells == 0) return r;
    const bool ports = isport(from) || isport(to);
    if (ports) {
        // Only a replace that adds ports can pass the limit; one that keeps
        // or lowers an old excess goes ahead as storing the level would.
        StoreFields fields;
        const BuiltRecord built = buildrecord(work, fields);
        if (built.switchesfound > maxswitches && isport(to) && !isport(from)) {
            r.toomany = true;
            return r;
        }
        if (!out) return r;
        *out = rec;
        for (int row = firstrow; row <= lastrow; ++row)
            for (int col = firstcol; col <= lastcol; ++col) {
                const int i = cellindex(col, row);
                if (rec[i] != built.record[i] && ((work[i] & ~markbit) == to)) out->at(i) = built.record[i];
            }
        std::copy(built.record.begin() + off_switchcount, built.record.end(), out->begin() + off_switchcount);
        return r;
    }
    if (!out) return r;
    *out = rec;
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const int i = cellindex(col, row);
            if ((rec[i] & ~markbit) == from) (*out)[i] = static_cast<std::uint8_t>((rec[i] & markbit) | to);
        }
    return r;
}

PackReplace replaceinpack(const LevelPack& pack, std::uint8_t from, std::uint8_t to, bool keeprecords) {
    PackReplace p;
    LevelRecord after;
    for (int slot = 0; slot < levelcount; ++slot) {
        const RecordReplace r = replaceinrecord(pack[slot], from, to, keeprecords ? &after : nullptr);
        if (r.toomany) ++p.skipped;
        if (r.toomany || r.cells == 0) continue;
        p.cells += r.cells;
        ++p.levels;
        if (keeprecords) p.changed.push_back({slot, r.cells, after});
    }
    return p;
}

CellChange diffrecords(const LevelRecord& before, const LevelRecord& after) {
    CellChange change;
    for (int i = 0; i < reclen; ++i) {
        if (before[i] == after[i]) continue;
        change.cells.push_back(static_cast<std::uint16_t>(i));
        change.before.push_back(before[i]);
        change.after.push_back(after[i]);
    }
    return change;
}

void applyrecordbytes(LevelRecord& rec, const CellChange& change, bool undo) {
    const auto& to = undo ? change.before : change.after;
    for (std::size_t k = 0; k < change.cells.size(); ++k) rec[change.cells[k]] = to[k];
}

int showrecordcells(LevelRecord& curlevel, EditLayers& layers, const LevelRecord& record) {
    LevelRecord next = record;
    decodeswitches(next);
    for (int i = 0; i < cellcount; ++i)
        next[i] = static_cast<std::uint8_t>((next[i] & ~markbit) | (curlevel[i] & markbit));
    const CellChange change = diffcells(tilesof(curlevel), next);
    applycells(curlevel, layers, change, false);
    std::copy(next.begin() + cellcount, next.end(), curlevel.begin() + cellcount);
    return int(change.cells.size());
}

} // namespace tess
