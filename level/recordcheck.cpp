// SPDX-License-Identifier: MIT
#include "level/recordcheck.h"

#include "level/levelmap.h"
#include "level/levelstore.h"

#include <algorithm>

namespace tess {

RecordCheck checkrecord(const LevelRecord& rec) {
    RecordCheck c;
    c.switchcount = rec[off_switchcount];
    for (int k = 0; k < std::min(c.switchcount, maxswitches); ++k) {
        const int e = off_switches + switchentrylen * k;
        if ((((rec[e] << 8) | rec[e + 1]) >> 1) >= cellcount) ++c.outsidegrid;
    }
    for (int i = 0; i < cellcount; ++i) {
        if (rec[i] & markbit) ++c.markedcells;
        if ((rec[i] & ~markbit) >= tilecodecount) ++c.unknowncells;
    }
    LevelMap map = recordtomap(rec);
    map.foreign = {};
    const BuiltRecord built = maptorecord(map);
    c.portsfound = built.switchesfound;
    for (int i = 0; i < reclen; ++i) c.changedbytes += built.record[i] != rec[i];
    // A level of a new pack gets its border when it is first stored; until
    // then it is as a new pack is meant to be, whatever its title.
    LevelRecord fresh = newpacklevel(1);
    std::copy_n(rec.begin() + off_title, titlelen, fresh.begin() + off_title);
    if (fresh == rec) c.changedbytes = 0;
    return c;
}

} // namespace tess
