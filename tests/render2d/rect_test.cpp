#include <gtest/gtest.h>

#include "render2d/hgerect.h"

namespace {

TEST(Rect, EncapsulateStartsAtTheFirstPointAndGrowsToHoldTheNext) {
    hgeRect r(-5.0f, -5.0f, 5.0f, 5.0f);
    r.Clear();
    EXPECT_EQ(r.x1, -5.0f) << "Clear leaves the edges as they are";
    r.Encapsulate(10.0f, 20.0f);
    EXPECT_FALSE(r.clean);
    EXPECT_EQ(r.x1, 10.0f);
    EXPECT_EQ(r.x2, 10.0f);
    EXPECT_EQ(r.y1, 20.0f);
    EXPECT_EQ(r.y2, 20.0f);
    r.Encapsulate(4.0f, 30.0f);
    r.Encapsulate(7.0f, 25.0f);  // inside: nothing moves
    EXPECT_EQ(r.x1, 4.0f);
    EXPECT_EQ(r.x2, 10.0f);
    EXPECT_EQ(r.y1, 20.0f);
    EXPECT_EQ(r.y2, 30.0f);
}

TEST(Rect, TestPointOwnsTheLeftAndTopEdgesOnly) {
    const hgeRect r(10.0f, 20.0f, 30.0f, 40.0f);
    EXPECT_TRUE(r.TestPoint(10.0f, 20.0f));
    EXPECT_TRUE(r.TestPoint(29.9f, 39.9f));
    EXPECT_FALSE(r.TestPoint(30.0f, 20.0f));
    EXPECT_FALSE(r.TestPoint(10.0f, 40.0f));
    EXPECT_FALSE(r.TestPoint(9.9f, 25.0f));
    const hgeRect point(5.0f, 5.0f, 5.0f, 5.0f);
    EXPECT_FALSE(point.TestPoint(5.0f, 5.0f)) << "a rectangle of size 0 holds no point";
}

TEST(Rect, IntersectNeedsRealOverlapOnBothAxes) {
    const hgeRect a(0.0f, 0.0f, 10.0f, 10.0f);
    const hgeRect right(10.0f, 0.0f, 20.0f, 10.0f);
    const hgeRect below(0.0f, 10.0f, 10.0f, 20.0f);
    const hgeRect inside(2.0f, 3.0f, 4.0f, 5.0f);
    const hgeRect overlapping(9.0f, 9.0f, 15.0f, 15.0f);
    const hgeRect besideButLevel(20.0f, 2.0f, 30.0f, 8.0f);
    EXPECT_FALSE(a.Intersect(&right)) << "a shared edge is no overlap";
    EXPECT_FALSE(a.Intersect(&below));
    EXPECT_FALSE(a.Intersect(&besideButLevel));
    EXPECT_TRUE(a.Intersect(&inside));
    EXPECT_TRUE(inside.Intersect(&a));
    EXPECT_TRUE(a.Intersect(&overlapping));
    EXPECT_TRUE(a.Intersect(&a));
    const hgeRect flat(0.0f, 0.0f, 10.0f, 0.0f);
    EXPECT_FALSE(flat.Intersect(&flat)) << "no height, no self-overlap";
}

}  // namespace
