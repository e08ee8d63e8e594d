// The averages: their values, and which records they touch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "computing.h"

namespace {

struct marks_case {
	int computer, math, english;
	std::string text;	// the average to two decimals
};

std::ostream &
operator<<(std::ostream &os, const marks_case &c)
{
	return os << c.computer << ' ' << c.math << ' ' << c.english;
}

std::string
two_decimals(double avg)
{
	char text[64];
	std::snprintf(text, sizeof text, "%.2f", avg);
	return text;
}

class Average : public testing::TestWithParam<marks_case> {};

TEST_P(Average, IsTheSumOverThree)
{
	const marks_case &c = GetParam();
	student s[1] = {{1, "A", c.computer, c.math, c.english, -1.0}};
	Count = 1;
	average(s);
	EXPECT_EQ(two_decimals(s[0].avg), c.text);
}

constexpr int int_max = 2147483647;
constexpr int int_min = -int_max - 1;

INSTANTIATE_TEST_SUITE_P(WorkedValues, Average, testing::Values(
    marks_case{90, 85, 77, "84.00"},
    marks_case{60, 70, 81, "70.33"},
    marks_case{59, 60, 60, "59.67"},
    marks_case{80, 90, 71, "80.33"},
    marks_case{100, 100, 99, "99.67"},
    marks_case{90, 0, 0, "30.00"},
    marks_case{0, 0, 0, "0.00"},
    marks_case{-1, 0, 0, "-0.33"},
    marks_case{-5, 3, 0, "-0.67"},
    marks_case{-5, -5, -5, "-5.00"},
    marks_case{int_max, 0, 0, "715827882.33"},
    marks_case{int_min, 0, 0, "-715827882.67"}));

// Sums past 32 bits give the true average, not one of a wrapped sum.
INSTANTIATE_TEST_SUITE_P(SumsBeyond32Bits, Average, testing::Values(
    marks_case{int_max, int_max, int_max, "2147483647.00"},
    marks_case{int_min, int_min, int_min, "-2147483648.00"},
    marks_case{int_max, int_max, 1, "1431655765.00"},
    marks_case{int_max, 1, 0, "715827882.67"},
    marks_case{int_min, -1, 0, "-715827883.00"},
    marks_case{int_min, int_min, -1, "-1431655765.67"}));

TEST(AverageSign, ASumOfZeroIsPositiveZero)
{
	student s[1] = {{1, "A", 5, -5, 0, -1.0}};
	Count = 1;
	average(s);
	EXPECT_EQ(s[0].avg, 0.0);
	EXPECT_FALSE(std::signbit(s[0].avg));
}

TEST(AverageSpan, TouchesOnlyTheRecordsInUse)
{
	for (const int count : {-1, 0, 1}) {
		student s[2] = {{1, "A", 3, 6, 9, -1.0}, {2, "B", 1, 1, 1, -1.0}};
		Count = count;
		average(s);
		EXPECT_EQ(s[0].avg, count == 1 ? 6.0 : -1.0) << count;
		EXPECT_EQ(s[1].avg, -1.0) << count;
		// The marks are read, never written.
		EXPECT_EQ(s[0].computer, 3);
		EXPECT_EQ(s[0].math, 6);
		EXPECT_EQ(s[0].english, 9);
		EXPECT_STREQ(s[0].name, "A");
		EXPECT_EQ(Count, count);
	}
}

} // namespace
