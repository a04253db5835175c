// Placing a window on its screen, and sizing one too large for it.
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

TEST(FitScrolled, TakesTheRoomItNeedsAndTheBarsThatMakeItReachable) {
    struct {
        const char* name;
        QSize content;
        QSize room;
        QSize client;
        bool horizontal;
        bool vertical;
    } cases[] = {
        {"Fits", {656, 686}, {1280, 800}, {656, 686}, false, false},
        {"FitsExactly", {656, 686}, {656, 686}, {656, 686}, false, false},
        {"OnePixelTooTall", {656, 687}, {1024, 686}, {672, 686}, false, true},
        {"TooTall", {656, 686}, {1024, 600}, {672, 600}, false, true},
        {"TooWide", {1100, 400}, {1024, 600}, {1024, 416}, true, false},
        {"LargerBothWays", {2000, 2000}, {1024, 600}, {1024, 600}, true, true},
        // The vertical bar takes the last of the width: a horizontal bar follows.
        {"TooTallAndTheBarMakesItTooWide", {1020, 700}, {1024, 600}, {1024, 600}, true, true},
        // The horizontal bar takes the last of the height: a vertical bar follows.
        {"TooWideAndTheBarMakesItTooTall", {1100, 590}, {1024, 600}, {1024, 600}, true, true},
        {"TooTallWithWidthToSpare", {1008, 700}, {1024, 600}, {1024, 600}, false, true},
    };
    for (const auto& c : cases) {
        const ScrolledFit fit = fitScrolled(c.content, c.room, 16);
        EXPECT_EQ(fit.client, c.client) << c.name;
        EXPECT_EQ(fit.horizontalBar, c.horizontal) << c.name;
        EXPECT_EQ(fit.verticalBar, c.vertical) << c.name;
    }
}

} // namespace
