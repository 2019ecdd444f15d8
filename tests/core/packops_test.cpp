// SPDX-License-Identifier: MIT
#include "level/levelstore.h"
#include "level/packops.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tess;

TEST(PackOps, EmptyLevelIsWhatStoringANewLevelWrites) {
    const LevelRecord rec = emptylevel(7);
    for (int row = 0; row < gridrows; ++row)
        for (int col = 0; col < gridcols; ++col)
            ASSERT_EQ(rec[cellindex(col, row)], isbordercell(col, row) ? code_border : code_empty) << col << "," << row;
    EXPECT_EQ(std::string(rec.begin() + off_title, rec.begin() + off_title + titlelen), "-------LEVEL-007-------");
    EXPECT_EQ(rec[off_fixedspace], 0x20);
    for (int i = cellcount; i < reclen; ++i) {
        if (i != off_fixedspace && (i < off_title || i >= off_title + titlelen)) {
            EXPECT_EQ(rec[i], 0) << i;
        }
    }
}

// Every record keeps its bytes and lands where removing it and inserting it
// again puts it; moving back restores the pack.
TEST(PackOps, MoveShiftsTheLevelsBetweenAndMovesBack) {
    auto pack = std::make_unique<LevelPack>();
    for (int i = 0; i < levelcount; ++i) {
        (*pack)[i].fill(static_cast<std::uint8_t>(i));
        (*pack)[i][off_switches] = 0x01; // the switch table travels with its level
    }
    const auto start = std::make_unique<LevelPack>(*pack);
    const std::pair<int, int> moves[] = {{3, 3}, {3, 4}, {4, 3}, {0, 110}, {110, 0}, {10, 20}, {20, 10}, {109, 110}};
    for (auto [from, to] : moves) {
        std::vector<int> order(levelcount);
        for (int i = 0; i < levelcount; ++i) order[i] = i;
        const int moved = order[from];
        order.erase(order.begin() + from);
        order.insert(order.begin() + to, moved);
        moveslot(*pack, from, to);
        for (int i = 0; i < levelcount; ++i) ASSERT_EQ((*pack)[i], (*start)[order[i]]) << from << "->" << to << " at " << i;
        moveslot(*pack, to, from);
        ASSERT_EQ(*pack, *start) << from << "->" << to << " and back";
    }
}
