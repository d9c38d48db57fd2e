#include <gtest/gtest.h>

#include <array>

#include "chart/angles.h"

using namespace zodiara;

TEST(Angles, SplittingRoundsMinutesWithoutCarrying)
{
    BodyPosition b;
    splitBody(b, 359.999);
    EXPECT_EQ((std::array{b.sign, b.degrees, b.minutes, b.house}), (std::array{11, 29, 60, -1}));
    splitBody(b, 30.0);
    EXPECT_EQ((std::array{b.sign, b.degrees, b.minutes}), (std::array{1, 0, 0}));
    splitBody(b, 360.0);
    EXPECT_EQ((std::array{b.sign, b.degrees}), (std::array{11, 30}));
}

TEST(Angles, WrappingMatchesRepeatedSteps)
{
    for (double x : {-1e-20, -0.3, -360.0, -720.5, -123456.789, -2.4e7 - 0.1, 0.0, 359.9, 360.0, 360.25, 720.0,
                     123456.789, 2.4e7 + 0.3, 9.87654321e6}) {
        double down = x, up = x;
        while (down > 360)
            down -= 360;
        while (up < 0)
            up += 360;
        EXPECT_EQ(std::pair(wrapDown360(x), wrapUp360(x)), std::pair(down, up)) << x;
    }
    EXPECT_EQ(std::pair(reduce360(-30), reduce360(725)), std::pair(330.0, 5.0));
}
