// The factor by which a dense display shows the frame, and the division of
// display positions back into frame pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "app/display_scale.h"

using namespace vusk;

TEST(DisplayScale, DensityGivesWholeFactorsWithSomeSlack) {
  EXPECT_EQ(scale_for_dpi(96.0f), 1u);
  EXPECT_EQ(scale_for_dpi(144.0f), 1u);  // 150 %: a whole factor of 2 would not fit the promise
  EXPECT_EQ(scale_for_dpi(180.0f), 1u);
  EXPECT_EQ(scale_for_dpi(185.0f), 2u);  // a "192 DPI" panel that measures a little less
  EXPECT_EQ(scale_for_dpi(192.0f), 2u);
  EXPECT_EQ(scale_for_dpi(280.0f), 3u);  // a 4K 15.6-inch panel
  EXPECT_EQ(scale_for_dpi(2000.0f), MAX_DISPLAY_SCALE);
}

TEST(DisplayScale, UnknownDensityShowsTheFrameOneToOne) {
  EXPECT_EQ(scale_for_dpi(0.0f), 1u);
  EXPECT_EQ(scale_for_dpi(-192.0f), 1u);
  EXPECT_EQ(scale_for_dpi(std::nanf("")), 1u);
  EXPECT_EQ(scale_for_dpi(INFINITY), MAX_DISPLAY_SCALE);
}

TEST(DisplayScale, OnlyWholeNumbersInRangeAreTakenFromTheUser) {
  uint32_t scale = 7;
  EXPECT_TRUE(parse_scale("2", &scale));
  EXPECT_EQ(scale, 2u);
  EXPECT_TRUE(parse_scale("08", &scale));
  EXPECT_EQ(scale, 8u);
  for (const char* bad : {"", "0", "9", "1.5", "-2", "2x", " 2", "99999999999999999999"}) {
    scale = 7;
    EXPECT_FALSE(parse_scale(bad, &scale)) << bad;
    EXPECT_EQ(scale, 7u) << bad;
  }
  EXPECT_FALSE(parse_scale(nullptr, &scale));
}

TEST(DisplayScale, FactorIsLoweredUntilTheWindowFits) {
  EXPECT_EQ(fit_scale(3, 1024, 768, 3840, 2160), 2u);  // 3072 x 2304 is too tall
  EXPECT_EQ(fit_scale(2, 1024, 768, 2048, 1536), 2u);  // exactly fits
  EXPECT_EQ(fit_scale(2, 1024, 768, 1920, 1080), 1u);
  EXPECT_EQ(fit_scale(2, 1024, 768, 800, 600), 1u);    // never below 1
  EXPECT_EQ(fit_scale(4, 1024, 768, 0, 0), 4u);        // an unknown display keeps it
}

// VUSK_SCALE=2 on a 1280x1024 screen made a 2048x1536 window, its bars off
// the screen: the factor stays, and each side of the frame becomes the
// largest that fits, never above the asked side nor below the least one.
TEST(DisplayScale, GivenFactorShrinksTheFrameToFitTheScreen) {
  const uint32_t side = 1024, least = 600;
  for (uint32_t scale = 1; scale <= MAX_DISPLAY_SCALE; ++scale) {
    for (int32_t room = 1; room <= 2200; room += 7) {
      const uint32_t fitted = fit_frame_side(side, least, scale, room);
      EXPECT_GE(fitted, least);
      EXPECT_LE(fitted, side);
      const auto display = static_cast<uint32_t>(room);
      if (fitted > least) {
        EXPECT_LE(fitted * scale, display) << scale << " " << room;
      }
      if (fitted < side) {
        EXPECT_GT((fitted + 1) * scale, display) << scale << " " << room;
      }
    }
    EXPECT_EQ(fit_frame_side(side, least, scale, 0), side);  // an unknown screen keeps it
  }
}

TEST(DisplayScale, PositionsDivideRoundingDown) {
  EXPECT_EQ(to_frame_coordinate(0, 2), 0);
  EXPECT_EQ(to_frame_coordinate(1, 2), 0);
  EXPECT_EQ(to_frame_coordinate(2047, 2), 1023);
  EXPECT_EQ(to_frame_coordinate(-1, 2), -1);  // just outside stays outside
  EXPECT_EQ(to_frame_coordinate(-40, 2), -20);
  EXPECT_EQ(to_frame_coordinate(-41, 3), -14);
  EXPECT_EQ(to_frame_coordinate(77, 1), 77);
  EXPECT_EQ(to_frame_coordinate(77, 0), 77);  // a factor never set counts as 1
}
