#include "Arithmetic.h"
#include "Failure.h"

#include <gtest/gtest.h>

namespace {

TEST(Arithmetic, RoundsHalvesToEvenAndFailsOnOverflow) {
    struct {
        double in;
        int out;
    } cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},     {100.5, 100},     {101.5, 102},
                 {-0.5, 0}, {-1.5, -2}, {469.5, 470}, {32767.4, 32767}, {-32768.4, -32768}};
    for (const auto& c : cases)
        EXPECT_EQ(toInt16(c.in), c.out) << c.in;
    EXPECT_THROW(toInt16(32767.5), Failure);
    EXPECT_THROW(toInt16(-32769), Failure);
    EXPECT_EQ(toInt32(40000.5), 40000);
    EXPECT_THROW(toInt32(3e9), Failure);
    EXPECT_THROW(divide(1, 0), Failure);
    EXPECT_THROW(divide(0, 0), Failure);
    EXPECT_THROW(toInt32(std::nan("")), Failure);
}

} // namespace
