// Controls following the window's edges as it is resized.
#include "framework/ResizeLayout.h"

#include <gtest/gtest.h>

#include <map>

using Plinth::LayoutRect;
using Plinth::ResizeLayout;

TEST(ResizeLayoutTest, EachEdgeFollowsItsAnchorAndUnmovedControlsAreLeftOut) {
    const struct {
        unsigned anchors;
        LayoutRect wider; // after growing by 100 x 200
    } controls[] = {
        {0, {10, 10, 60, 30}},
        {ResizeLayout::leftFollowsWidth | ResizeLayout::rightFollowsWidth, {110, 10, 160, 30}},
        {ResizeLayout::topFollowsHeight | ResizeLayout::bottomFollowsHeight, {10, 210, 60, 230}},
        {ResizeLayout::rightFollowsWidth | ResizeLayout::bottomFollowsHeight, {10, 10, 160, 230}},
    };
    std::map<int, LayoutRect> rects;
    ResizeLayout layout(370, 450);
    for (int id = 0; id < 4; ++id) {
        rects[id] = {10, 10, 60, 30};
        layout.anchor(id, controls[id].anchors);
    }
    auto current = [&](int id) { return rects.at(id); };
    EXPECT_TRUE(layout.resize(370, 450, current).empty()) << "same size, no moves";

    const auto placements = layout.resize(470, 650, current);
    ASSERT_EQ(placements.size(), 3u) << "the unanchored control stays out";
    for (const auto& p : placements) {
        EXPECT_EQ(p.rect, controls[p.controlId].wider) << p.controlId;
        EXPECT_EQ(p.moves, p.controlId == 1 || p.controlId == 2) << p.controlId;
        EXPECT_EQ(p.resizes, p.controlId == 3) << p.controlId;
        rects[p.controlId] = p.rect;
    }
    // Back to the first size: everything returns exactly.
    for (const auto& p : layout.resize(370, 450, current)) {
        EXPECT_EQ(p.rect, (LayoutRect{10, 10, 60, 30})) << p.controlId;
    }
}
