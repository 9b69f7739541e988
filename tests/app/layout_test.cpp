#include <gtest/gtest.h>

#include "accelerator_filter.h"
#include "main_ids.h"
#include "main_layout.h"
#include "up_down_control.h"

namespace {

TEST(TallLayout, LargeViewGrowsTowardsTheScreenKeepingItsRatio) {
    // Height-bound: the width still fits the screen.
    TallLayout t = ComputeTallLayout(30, 30, 800, 640, 2560, 900, true);
    EXPECT_EQ(t.dh, 210);
    EXPECT_EQ(t.dw, 2 * (130 * 210 / 80));
    EXPECT_EQ(t.width, 800 + t.dw);
    EXPECT_EQ(t.height, 640 + 210);
    EXPECT_EQ(t.x, 30);
    EXPECT_EQ(t.y, 30);

    // Width-bound: the extra width is what the screen leaves, the height follows.
    t = ComputeTallLayout(20, 30, 800, 640, 1280, 1024, true);
    EXPECT_EQ(t.dw, 1280 - 800 - 50);
    EXPECT_EQ(t.dh, 80 * 430 / 260);
    EXPECT_EQ(t.width, 1230);
    EXPECT_EQ(t.height, 640 + 132);
    EXPECT_EQ(t.x, 20);
    EXPECT_EQ(t.y, 30);
    // Running off the right edge pulls it back onto the screen.
    t = ComputeTallLayout(60, 30, 800, 640, 1280, 1024, true);
    EXPECT_EQ(t.x, 10);
}

TEST(TallLayout, LargeViewOnAScreenTooShortKeepsTheTemplateWherever) {
    const TallLayout t = ComputeTallLayout(500, 400, 800, 640, 1024, 600, true);
    EXPECT_EQ(t.dw, 0);
    EXPECT_EQ(t.dh, 0);
    EXPECT_EQ(t.width, 800);
    EXPECT_EQ(t.height, 640);
    EXPECT_EQ(t.x, 500);
    EXPECT_EQ(t.y, 400);
}

TEST(TallLayout, LargeViewNeverShrinksBelowTheTemplate) {
    const TallLayout t = ComputeTallLayout(0, 0, 800, 640, 820, 1024, true);
    EXPECT_EQ(t.dw, 0);
    EXPECT_EQ(t.dh, 0);
    EXPECT_EQ(t.width, 800);
}

TEST(TallLayout, NormalViewIsPulledOntoTheScreen) {
    TallLayout t = ComputeTallLayout(900, 700, 800, 640, 1280, 1024, false);
    EXPECT_EQ(t.width, 800);
    EXPECT_EQ(t.height, 640);
    EXPECT_EQ(t.x, 1280 - 800 - 40);
    EXPECT_EQ(t.y, 1024 - 640 - 40);
    t = ComputeTallLayout(100, 100, 800, 640, 640, 480, false);
    EXPECT_EQ(t.x, 10);
    EXPECT_EQ(t.y, 10);
}

TEST(Accelerators, OnlyTheTableKeysMapToCommands) {
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_1, Qt::ControlModifier), MainId::LeftDelete);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_2, Qt::ControlModifier), MainId::RightDelete);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_Delete, Qt::NoModifier), MainId::PressFocused);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_Enter, Qt::KeypadModifier),
              MainId::PressFocused);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_PageDown, Qt::NoModifier), MainId::Next);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_PageUp, Qt::NoModifier), MainId::Back);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_Home, Qt::NoModifier), MainId::First);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_End, Qt::NoModifier), MainId::Last);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_1, Qt::NoModifier), 0);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_Home, Qt::ShiftModifier), 0);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_Delete, Qt::ControlModifier), 0);
    EXPECT_EQ(AcceleratorFilter::commandFor(Qt::Key_A, Qt::NoModifier), 0);
}

TEST(UpDown, HoldingAnArrowTwoSecondsDoublesTheStep) {
    EXPECT_EQ(UpDownControl::stepForHeld(0), 1);
    EXPECT_EQ(UpDownControl::stepForHeld(1999), 1);
    EXPECT_EQ(UpDownControl::stepForHeld(2000), 2);
}

}  // namespace
