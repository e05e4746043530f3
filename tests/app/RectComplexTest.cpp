#include "app/RectComplex.h"
#include "app/Console.h"
#include "app/Point.h"
#include "app/RectComplexOutline.h"

#include "support/TemporaryDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {
using Box = std::tuple<float, float, float, float>;

std::vector<Box> Boxes(const RectComplex& region)
{
    std::vector<Box> boxes;
    for (int i = 0; i < region.GetRectCount(); i++) {
        Rect r = region.GetRect(i);
        boxes.emplace_back(r.x, r.y, r.w, r.h);
    }
    std::sort(boxes.begin(), boxes.end());
    return boxes;
}

float CoveredArea(const RectComplex& region)
{
    float area = 0;
    for (int i = 0; i < region.GetRectCount(); i++) {
        area += region.GetRect(i).w * region.GetRect(i).h;
    }
    return area;
}

struct CornerView
{
    float x;
    float y;
    bool concave;
    Point normal;
};

std::vector<CornerView> Corners(const RectComplex& region)
{
    std::vector<CornerView> corners;
    const RectComplexOutline* outline = region.GetOutline();
    for (int i = 0; i < outline->corners.Count(); i++) {
        auto* corner = static_cast<RectComplexCorner*>(outline->corners.Get(i));
        corners.push_back(
            {corner->x, corner->y, corner->concave, *static_cast<Point*>(outline->cornerNormals.Get(i))});
        EXPECT_EQ(region.GetOutlineFlag(i), corner->concave ? 1 : 0);
    }
    return corners;
}

// Every edge normal points out of the region: a step along it from the
// edge's middle leaves the region, a step against it enters.
void ExpectEdgeNormalsPointOut(const RectComplex& region)
{
    const RectComplexOutline* outline = region.GetOutline();
    ASSERT_EQ(outline->edgeNormals.Count(), outline->edges.Count());
    for (int i = 0; i < region.GetLineCount(); i++) {
        Line edge = region.GetOutlineLine(i);
        EXPECT_TRUE(edge.x1 == edge.x2 || edge.y1 == edge.y2);
        const Point& n = *static_cast<Point*>(outline->edgeNormals.Get(i));
        float mx = (edge.x1 + edge.x2) / 2;
        float my = (edge.y1 + edge.y2) / 2;
        EXPECT_FALSE(region.Contains(mx + n.x * 0.5f, my + n.y * 0.5f)) << "edge " << i;
        EXPECT_TRUE(region.Contains(mx - n.x * 0.5f, my - n.y * 0.5f)) << "edge " << i;
    }
}
} // namespace

TEST(RectComplexRegion, AddKeepsRectanglesDisjoint)
{
    RectComplex region;
    region.Add(0, 0, 10, 10);
    region.Add(5, 0, 10, 10);
    EXPECT_EQ(Boxes(region), (std::vector<Box>{{0, 0, 10, 10}, {10, 0, 5, 10}}));

    region.Add(2, 2, 3, 3); // already covered
    EXPECT_EQ(region.GetRectCount(), 2);
    region.Add(0, 0, 0, 5);
    region.Add(0, 0, 5, 0);
    EXPECT_EQ(region.GetRectCount(), 2);

    region.Add(-5, -5, 30, 30); // around everything: only the ring is added
    EXPECT_FLOAT_EQ(CoveredArea(region), 900.0f);
    EXPECT_EQ(region.GetLeft(), -5.0f);
    EXPECT_EQ(region.GetBottom(), 25.0f);
}

TEST(RectComplexRegion, SubtractPeelsSides)
{
    RectComplex region(0, 0, 10, 10);
    region.Subtract(3, 3, 4, 4);
    EXPECT_EQ(Boxes(region), (std::vector<Box>{{0, 0, 3, 10}, {3, 0, 4, 3}, {3, 7, 4, 3}, {7, 0, 3, 10}}));
    EXPECT_FALSE(region.Contains(5, 5));
    EXPECT_TRUE(region.Contains(1, 5));

    region.Subtract(0, 0, 0, 10);
    region.Subtract(0, 0, 10, 0);
    EXPECT_EQ(region.GetRectCount(), 4);

    region.Subtract(-100, -100, 1000, 1000);
    EXPECT_TRUE(region.IsEmpty());
}

TEST(RectComplexRegion, SubtractWorksInWholeUnits)
{
    RectComplex region(0, 0, 10, 10);
    region.Subtract(2.7f, -1, 5.9f, 20); // cut from 2 to 8
    EXPECT_EQ(Boxes(region), (std::vector<Box>{{0, 0, 2, 10}, {8, 0, 2, 10}}));
}

TEST(RectComplexRegion, RunawaySubtractIsAbandoned)
{
    // A row of 600 one-unit rectangles: one cut over all of them needs more
    // steps than allowed, so it stops part way instead of ending the program.
    TemporaryDesktop desktop; // the warning goes to the session log there
    RectComplex region;
    for (int i = 0; i < 600; i++) {
        region.AddRect(static_cast<float>(i), 0, 1, 1);
    }
    region.Subtract(0, 0, 600, 1);
    EXPECT_GT(region.GetRectCount(), 0);
    EXPECT_LT(region.GetRectCount(), 600);
    EXPECT_NE(desktop.ReadText("TARNQUILL.LOG").find("\r\nWARNING: RectComplex::Subtract"),
              std::string::npos);
    theConsole->enabled = false;
}

TEST(RectComplexRegion, EmptyRegionExtents)
{
    RectComplex region;
    EXPECT_EQ(region.GetLeft(), 0.0f);
    EXPECT_EQ(region.GetTop(), 0.0f);
    EXPECT_EQ(region.GetRight(), 0.0f);
    EXPECT_EQ(region.GetBottom(), 0.0f);
    EXPECT_EQ(RectComplex(1, 1, 0, 4).GetRectCount(), 0);
    EXPECT_EQ(region.GetOutlineLine(0).x2, 0.0f);
    EXPECT_EQ(region.GetOutlineFlag(0), 0);
}

TEST(RectComplexOptimize, MergesNeighbours)
{
    RectComplex pair;
    pair.AddRect(0, 0, 5, 10);
    pair.AddRect(5, 0, 5, 10);
    pair.Optimize();
    EXPECT_EQ(Boxes(pair), (std::vector<Box>{{0, 0, 10, 10}}));

    RectComplex block;
    block.AddRect(0, 0, 2, 2);
    block.AddRect(0, 2, 2, 2);
    block.AddRect(2, 0, 2, 2);
    block.AddRect(2, 2, 2, 2);
    block.Optimize();
    EXPECT_EQ(Boxes(block), (std::vector<Box>{{0, 0, 4, 4}}));

    RectComplex cut(0, 0, 10, 10);
    cut.Subtract(3, 3, 4, 4);
    cut.Add(3, 3, 4, 4);
    cut.Optimize();
    EXPECT_EQ(Boxes(cut), (std::vector<Box>{{0, 0, 10, 10}}));
}

TEST(RectComplexOptimize, BlockWithAGapIsNotFilled)
{
    // The fourth piece ends at the block's corner but leaves a gap.
    RectComplex region;
    region.AddRect(0, 0, 2, 2);
    region.AddRect(0, 2, 2, 2);
    region.AddRect(2, 0, 2, 2);
    region.AddRect(3, 3, 1, 1);
    region.Optimize();
    EXPECT_FLOAT_EQ(CoveredArea(region), 13.0f);
    EXPECT_FALSE(region.Contains(2.5f, 2.5f));
    EXPECT_TRUE(region.Contains(3.5f, 3.5f));
}

TEST(RectComplexOutlineTest, SingleRectangle)
{
    RectComplex region(0, 0, 10, 10);
    region.BuildOutline(1);
    std::vector<CornerView> corners = Corners(region);
    ASSERT_EQ(corners.size(), 4u);
    for (const CornerView& corner : corners) {
        EXPECT_FALSE(corner.concave);
        // The diagonal normal points away from the middle.
        EXPECT_EQ(corner.normal.x > 0, corner.x > 5);
        EXPECT_EQ(corner.normal.y > 0, corner.y > 5);
        EXPECT_FLOAT_EQ(std::abs(corner.normal.x), 0.707107f);
    }
    ASSERT_EQ(region.GetLineCount(), 4);
    int vertical = 0;
    for (int i = 0; i < 4; i++) {
        Line edge = region.GetOutlineLine(i);
        vertical += edge.x1 == edge.x2 ? 1 : 0;
    }
    EXPECT_EQ(vertical, 2);
    ExpectEdgeNormalsPointOut(region);
    EXPECT_EQ(region.GetOutline()->insetEdges.Count(), 4);
}

TEST(RectComplexOutlineTest, LShapeHasOneInsideCorner)
{
    RectComplex region;
    region.Add(0, 0, 10, 5);
    region.Add(0, 5, 5, 5);
    region.BuildOutline(1);
    std::vector<CornerView> corners = Corners(region);
    ASSERT_EQ(corners.size(), 6u);
    int concave = 0;
    for (const CornerView& corner : corners) {
        if (corner.concave) {
            concave++;
            EXPECT_EQ(corner.x, 5.0f);
            EXPECT_EQ(corner.y, 5.0f);
            // The inside corner's normal points into the notch.
            EXPECT_GT(corner.normal.x, 0);
            EXPECT_GT(corner.normal.y, 0);
        }
    }
    EXPECT_EQ(concave, 1);
    EXPECT_EQ(region.GetLineCount(), 6);
    ExpectEdgeNormalsPointOut(region);
}

TEST(RectComplexOutlineTest, FrameAroundAHole)
{
    RectComplex region(0, 0, 12, 12);
    region.Subtract(4, 4, 4, 4);
    region.Optimize();
    region.BuildOutline(0.5f);
    std::vector<CornerView> corners = Corners(region);
    ASSERT_EQ(corners.size(), 8u);
    EXPECT_EQ(std::count_if(corners.begin(), corners.end(), [](const CornerView& c) { return c.concave; }),
              4);
    EXPECT_EQ(region.GetLineCount(), 8);
    ExpectEdgeNormalsPointOut(region);

    region.Clear();
    EXPECT_EQ(region.GetOutline(), nullptr);
    EXPECT_EQ(region.GetLineCount(), 0);
}
