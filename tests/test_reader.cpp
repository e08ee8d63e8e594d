// The conversions one at a time, then the whole roster read from a stream.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "input_output.h"
#include "stream.h"

namespace {

using namespace std::string_literals;

std::string
shown(const token &t)
{
	return std::string(t.bytes, t.len) + (t.more ? "..." : "");
}

// The token that a name conversion reads next, or "(end)".
std::string
next_token(std::FILE *in)
{
	char name[sizeof student::name];
	token t{};
	return scan_name(in, name, &t) == scan_status::end ? "(end)"
							     : shown(t);
}

struct int_case {
	const char *what;
	std::string input;
	scan_status status;
	int value;		// stored on ok; left as it was otherwise
	std::string seen;	// on a failure: the token a message shows
	std::string next;	// on ok: the token that follows
};

std::ostream &
operator<<(std::ostream &os, const int_case &c)
{
	return os << c.what;
}

class ScanInt : public testing::TestWithParam<int_case> {};

TEST_P(ScanInt, ReadsAsTheConversionDoes)
{
	const int_case &c = GetParam();
	input_stream in(c.input);
	constexpr int untouched = -777;
	int value = untouched;
	token t{};

	ASSERT_EQ(scan_int(in.get(), &value, &t), c.status);
	if (c.status == scan_status::ok) {
		EXPECT_EQ(value, c.value);
		EXPECT_EQ(next_token(in.get()), c.next);
	} else {
		EXPECT_EQ(value, untouched);
		if (c.status != scan_status::end) {
			EXPECT_EQ(shown(t), c.seen);
		}
	}
}

const std::string zeros(100000, '0');

INSTANTIATE_TEST_SUITE_P(Conversions, ScanInt, testing::Values(
    int_case{"plain", "42 x", scan_status::ok, 42, "", "x"},
    int_case{"every white space byte skipped", " \t\n\v\f\r42", scan_status::ok, 42, "", "(end)"},
    int_case{"leading zeros", "007", scan_status::ok, 7, "", "(end)"},
    int_case{"leading zeros past any accumulator", zeros + "7 x", scan_status::ok, 7, "", "x"},
    int_case{"plus sign", "+85", scan_status::ok, 85, "", "(end)"},
    int_case{"minus sign", "-5", scan_status::ok, -5, "", "(end)"},
    int_case{"minus zero", "-0", scan_status::ok, 0, "", "(end)"},
    int_case{"largest int", "2147483647", scan_status::ok, 2147483647, "", "(end)"},
    int_case{"smallest int", "-2147483648", scan_status::ok, -2147483647 - 1, "", "(end)"},
    int_case{"letters end the number", "12Ann 90", scan_status::ok, 12, "", "Ann"},
    int_case{"a point ends the number", "85.5", scan_status::ok, 85, "", ".5"},
    int_case{"one past the largest", "2147483648", scan_status::out_of_range, 0, "2147483648", ""},
    int_case{"one past the smallest", "-2147483649", scan_status::out_of_range, 0, "-2147483649", ""},
    int_case{"a number far past 64 bits", std::string(40, '9'), scan_status::out_of_range, 0, std::string(32, '9') + "...", ""},
    int_case{"empty input", "", scan_status::end, 0, "", ""},
    int_case{"white space only", " \r\n\t", scan_status::end, 0, "", ""},
    int_case{"a word", "Ann 5", scan_status::not_number, 0, "Ann", ""},
    int_case{"a fraction without whole part", ".5", scan_status::not_number, 0, ".5", ""},
    int_case{"a sign alone", "+ 5", scan_status::not_number, 0, "+", ""},
    int_case{"a sign at the end", "-", scan_status::not_number, 0, "-", ""},
    int_case{"two signs", "--5", scan_status::not_number, 0, "--5", ""},
    int_case{"a long word is cut short", std::string(40, 'z'), scan_status::not_number, 0, std::string(32, 'z') + "...", ""},
    int_case{"0x85 is not white space", "\x85" "5", scan_status::not_number, 0, "\x85" "5", ""},
    int_case{"0xa0 is not white space", "\xa0" "5", scan_status::not_number, 0, "\xa0" "5", ""},
    int_case{"a NUL byte", "\0" "5"s, scan_status::not_number, 0, "\0" "5"s, ""}));

struct name_case {
	const char *what;
	std::string input;
	scan_status status;
	std::string name;	// as stored, up to its zero byte
	std::string next;	// the token that follows
};

std::ostream &
operator<<(std::ostream &os, const name_case &c)
{
	return os << c.what;
}

class ScanName : public testing::TestWithParam<name_case> {};

TEST_P(ScanName, KeepsAtMostNineBytes)
{
	const name_case &c = GetParam();
	input_stream in(c.input);
	char name[sizeof student::name];
	std::memset(name, 'X', sizeof name);
	token t{};

	ASSERT_EQ(scan_name(in.get(), name, &t), c.status);
	ASSERT_NE(std::memchr(name, '\0', sizeof name), nullptr);
	EXPECT_EQ(std::string(name), c.name);
	EXPECT_EQ(next_token(in.get()), c.next);
}

// GBK for four common surnames: two bytes each.
const std::string zhang = "\xd5\xc5", li = "\xc0\xee", wang = "\xcd\xf5",
		  zhao = "\xd5\xd4";

INSTANTIATE_TEST_SUITE_P(Conversions, ScanName, testing::Values(
    name_case{"a plain name", "Ann 90", scan_status::ok, "Ann", "90"},
    name_case{"digits after letters", "Ann90 1", scan_status::ok, "Ann90", "1"},
    name_case{"digits only", "007 1", scan_status::ok, "007", "1"},
    name_case{"CR is white space", "Ann\r\n1", scan_status::ok, "Ann", "1"},
    name_case{"tab before and after", "\tAnn\t1", scan_status::ok, "Ann", "1"},
    name_case{"nine bytes fit", "ABCDEFGHI 1", scan_status::ok, "ABCDEFGHI", "1"},
    name_case{"ten bytes are cut to nine", "ABCDEFGHIJ 1", scan_status::name_cut, "ABCDEFGHI", "1"},
    name_case{"a huge name is streamed past", std::string(1 << 20, 'x') + " 1", scan_status::name_cut, "xxxxxxxxx", "1"},
    name_case{"GBK: four characters and a letter fit", zhang + li + wang + zhao + "A 1", scan_status::ok, zhang + li + wang + zhao + "A", "1"},
    name_case{"GBK: five characters keep four", zhang + li + wang + zhao + zhang + " 1", scan_status::name_cut, zhang + li + wang + zhao, "1"},
    name_case{"GBK: a letter and five characters keep nine bytes", "A" + zhang + li + wang + zhao + zhang + " 1", scan_status::name_cut, "A" + zhang + li + wang + zhao, "1"},
    name_case{"GBK: a character across the ninth byte is dropped whole", "ABCDEFGH" + zhang + " 1", scan_status::name_cut, "ABCDEFGH", "1"},
    name_case{"GBK: pairs are counted from the start", "A" + std::string(9, '\x81') + " 1", scan_status::name_cut, "A" + std::string(8, '\x81'), "1"},
    name_case{"GBK: an odd lead byte before the cut", "AB" + std::string(9, '\x81') + " 1", scan_status::name_cut, "AB" + std::string(6, '\x81'), "1"},
    name_case{"a trailing lead byte in a short name is kept", "AB\x81 1", scan_status::ok, "AB\x81", "1"},
    name_case{"GBK: 0x80 leads no pair", "AB" + std::string(8, '\x80') + " 1", scan_status::name_cut, "AB" + std::string(7, '\x80'), "1"},
    name_case{"GBK: 0xff leads no pair", "AB" + std::string(8, '\xff') + " 1", scan_status::name_cut, "AB" + std::string(7, '\xff'), "1"}));

TEST(ScanName, EndsOnlyAtTheEndOfInput)
{
	input_stream in(" \t\r\n\v\f");
	char name[sizeof student::name];
	token t{};
	EXPECT_EQ(scan_name(in.get(), name, &t), scan_status::end);
}

TEST(Scan, AReadErrorIsNotTheEndOfInput)
{
	// A stream open only for writing fails every read.
	std::FILE *out = std::fopen("/dev/null", "w");
	ASSERT_NE(out, nullptr);
	int value = 0;
	char name[sizeof student::name];
	token t{};
	EXPECT_EQ(scan_int(out, &value, &t), scan_status::read_error);
	EXPECT_NE(t.error, 0);
	EXPECT_EQ(scan_name(out, name, &t), scan_status::read_error);
	EXPECT_NE(t.error, 0);
	std::fclose(out);
}

// Reading a whole roster.
struct RosterRead : testing::Test {
	student s[Maxsize]{};
	output_stream out;
	output_stream err;

	bool read(const std::string &input)
	{
		input_stream in(input);
		return read_roster(in.get(), out.get(), err.get(), s);
	}
};

const std::string prompts = "please enter the number of the student:\n"
			    "please enter the information of the student:\n";

TEST_F(RosterRead, ReadsEveryFieldOfEachRecord)
{
	ASSERT_TRUE(read("2 101 Ann 90 85 77\n102\nBen\n-60\n+070\n81"));
	ASSERT_EQ(Count, 2);
	EXPECT_EQ(s[0].num, 101);
	EXPECT_STREQ(s[0].name, "Ann");
	EXPECT_EQ(s[0].computer, 90);
	EXPECT_EQ(s[0].math, 85);
	EXPECT_EQ(s[0].english, 77);
	EXPECT_EQ(s[1].num, 102);
	EXPECT_STREQ(s[1].name, "Ben");
	EXPECT_EQ(s[1].computer, -60);
	EXPECT_EQ(s[1].math, 70);
	EXPECT_EQ(s[1].english, 81);
	EXPECT_EQ(out.text(), prompts);
	EXPECT_EQ(err.text(), "");
}

TEST_F(RosterRead, FillsTheWholeRoster)
{
	std::string input = std::to_string(Maxsize);
	for (int i = 0; i < Maxsize; ++i)
		input += " " + std::to_string(i) + " S" + std::to_string(i) +
		    " 1 2 " + std::to_string(i);
	ASSERT_TRUE(read(input));
	ASSERT_EQ(Count, Maxsize);
	EXPECT_EQ(s[Maxsize - 1].num, Maxsize - 1);
	EXPECT_STREQ(s[Maxsize - 1].name, "S49");
	EXPECT_EQ(s[Maxsize - 1].english, Maxsize - 1);
}

TEST_F(RosterRead, ACountOfZeroOrBelowPutsNoRecordInUse)
{
	for (const char *input : {"0 1 A 1 2 3", "-4 1 A 1 2 3"}) {
		Count = 7;
		EXPECT_TRUE(read(input)) << input;
		EXPECT_EQ(Count, 0) << input;
	}
}

TEST_F(RosterRead, RefusesMoreStudentsThanTheRosterHolds)
{
	Count = 7;	// left from an earlier read
	EXPECT_FALSE(read("51 1 A 1 2 3"));
	EXPECT_EQ(Count, 0);
	EXPECT_EQ(out.text(), "please enter the number of the student:\n");
	EXPECT_EQ(err.text(), "roster: too many students: 51 (at most 50)\n");
}

TEST_F(RosterRead, ABadCountPutsNoRecordInUse)
{
	for (const char *input : {"", "x", "99999999999"}) {
		Count = 7;
		EXPECT_FALSE(read(input)) << input;
		EXPECT_EQ(Count, 0) << input;
	}
}

TEST_F(RosterRead, StopsAtTheFirstBadFieldKeepingTheRecordsBefore)
{
	EXPECT_FALSE(read("3\n1 A 1 2 3\n2 B 4 x 6\n3 C 7 8 9\n"));
	EXPECT_EQ(Count, 1);
	EXPECT_EQ(s[0].english, 3);
	EXPECT_EQ(err.text(),
	    "roster: student 2: expected the math mark, found \"x\"\n");
}

TEST_F(RosterRead, KeepsARecordWithALongName)
{
	EXPECT_TRUE(read("1 7 Christophe 1 2 3"));
	EXPECT_EQ(Count, 1);
	EXPECT_STREQ(s[0].name, "Christoph");
	EXPECT_EQ(s[0].english, 3);
	EXPECT_EQ(err.text(), "roster: student 1: name \"Christophe\" is "
			      "longer than 9 bytes; kept as \"Christoph\"\n");
}

} // namespace
