// SPDX-License-Identifier: MIT
#include "edit/editlayers.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(EditLayers, StartEmptyWithTheDrawTool) {
    EditLayers layers;
    for (int i = 0; i < cellcount; ++i) {
        ASSERT_EQ(layers.overlay[i], notile);
        ASSERT_EQ(layers.screenbuf[i], notile);
        ASSERT_EQ(layers.clipboard[i], emptyclip);
    }
    EXPECT_EQ(layers.drawmode, drawtool);
}

TEST(EditLayers, SpecialValuesNeverEqualACode) {
    EXPECT_EQ(notile, 44);
    for (int code = 0; code < tilecodecount; ++code) {
        for (int byte : {code, code | markbit}) {
            EXPECT_NE(byte, notile);
            EXPECT_NE(byte, emptyclip);
        }
    }
}

TEST(EditLayers, EmptyingLeavesClipboardAndTool) {
    EditLayers layers;
    layers.overlay.fill(3);
    layers.screenbuf.fill(3);
    layers.clipboard[7] = markbit | 3;
    layers.drawmode = selecttool;
    layers.emptyoverlay();
    EXPECT_EQ(layers.overlay[0], notile);
    EXPECT_EQ(layers.screenbuf[cellcount - 1], notile);
    EXPECT_EQ(layers.clipboard[7], markbit | 3);
    EXPECT_EQ(layers.drawmode, selecttool);
}
