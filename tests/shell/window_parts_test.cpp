// Placing a window on its screen.
#include "WindowParts.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaceWithin, CentresWhatFitsAndKeepsTheTopLeftOfWhatDoesNot) {
    struct {
        const char* name;
        QSize frame;
        QRect area;
        QPoint expected;
    } cases[] = {
        {"Fits", {536, 560}, {0, 0, 1280, 900}, {372, 170}},
        {"FitsExactly", {1024, 600}, {0, 0, 1024, 600}, {0, 0}},
        {"TallerThanTheArea", {662, 716}, {0, 0, 1024, 600}, {181, 0}},
        {"WiderThanTheArea", {1100, 400}, {0, 0, 1024, 600}, {0, 100}},
        {"LargerBothWays", {2000, 2000}, {0, 0, 1024, 600}, {0, 0}},
        // A panel at the top and one at the left: the area does not start at 0.
        {"AreaBesidePanels", {662, 716}, {64, 27, 960, 573}, {213, 27}},
        {"SecondScreen", {536, 560}, {1280, 0, 1024, 600}, {1524, 20}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeWithin(c.frame, c.area), c.expected) << c.name;
}

} // namespace
