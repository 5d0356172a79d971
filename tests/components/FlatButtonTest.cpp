#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatSpeedButton.h"
#include "ui/ExtCtrls.h"

#include <gtest/gtest.h>

using namespace flattest;
using qftest::Place;
using qftest::ProcessEventsUntil;
using qftest::TShownForm;

namespace {

TEST(Hover, Probe) {
  TShownForm form;
  auto* a = Place<TFlatSpeedButton>(&form, 10, 10, 25, 25);
  auto* b = Place<TFlatSpeedButton>(&form, 40, 10, 25, 25);
  MoveMouse(a, 5, 5);
  EXPECT_EQ(FindDragTarget(a->ClientToScreen({5, 5}), true), a);
  EXPECT_TRUE(a->Hovered());
  MoveMouse(b, 5, 5);
  EXPECT_FALSE(a->Hovered());
  EXPECT_TRUE(b->Hovered());
  MoveAway(form);
  EXPECT_TRUE(ProcessEventsUntil([&] { return !b->Hovered(); }, 500));
}

}  // namespace
