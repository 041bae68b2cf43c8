// Controls following the window's edges as it is resized.
#include "framework/ResizeLayout.h"

#include <gtest/gtest.h>

#include <map>

using Plinth::LayoutRect;
using Plinth::ResizeLayout;

namespace {

struct Controls {
    std::map<int, LayoutRect> rects;
    LayoutRect operator()(int id) const { return rects.at(id); }
    void apply(const std::vector<ResizeLayout::Placement>& placements) {
        for (const auto& p : placements) {
            rects[p.controlId] = p.rect;
        }
    }
};

} // namespace

TEST(ResizeLayoutTest, AnchorsOfTheMainWindow) {
    Controls controls;
    controls.rects = {{1023, {50, 5, 300, 20}},   {1007, {310, 5, 360, 20}},
                      {1005, {10, 400, 60, 420}}, {1008, {310, 400, 360, 420}},
                      {1001, {10, 30, 360, 390}}, {1025, {10, 425, 360, 440}}};
    ResizeLayout layout(370, 450);
    layout.anchor(1023, 2);
    layout.anchor(1007, 3);
    layout.anchor(1005, 12);
    layout.anchor(1008, 15);
    layout.anchor(1001, 10);
    layout.anchor(1025, 14);

    controls.apply(layout.resize(470, 650, std::cref(controls)));
    EXPECT_EQ(controls.rects[1023], (LayoutRect{50, 5, 400, 20})) << "stretches right";
    EXPECT_EQ(controls.rects[1007], (LayoutRect{410, 5, 460, 20})) << "moves right";
    EXPECT_EQ(controls.rects[1005], (LayoutRect{10, 600, 60, 620})) << "moves down";
    EXPECT_EQ(controls.rects[1008], (LayoutRect{410, 600, 460, 620})) << "follows the corner";
    EXPECT_EQ(controls.rects[1001], (LayoutRect{10, 30, 460, 590})) << "stretches both ways";
    EXPECT_EQ(controls.rects[1025], (LayoutRect{10, 625, 460, 640}));

    // Back to the first size: everything returns exactly.
    controls.apply(layout.resize(370, 450, std::cref(controls)));
    EXPECT_EQ(controls.rects[1001], (LayoutRect{10, 30, 360, 390}));
}

TEST(ResizeLayoutTest, NoChangeMeansNoMovesAndStillControlsAreSkipped) {
    Controls controls;
    controls.rects = {{1, {0, 0, 10, 10}}, {2, {0, 0, 10, 10}}};
    ResizeLayout layout(100, 100);
    layout.anchor(1, 2);
    layout.anchor(2, 4 | 8);
    EXPECT_TRUE(layout.resize(100, 100, std::cref(controls)).empty());

    auto placements = layout.resize(120, 100, std::cref(controls));
    ASSERT_EQ(placements.size(), 1u) << "only the width changed: control 2 stays";
    EXPECT_EQ(placements[0].controlId, 1);
    EXPECT_FALSE(placements[0].moves);
    EXPECT_TRUE(placements[0].resizes);
}
