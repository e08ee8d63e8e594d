// The report lines as they are written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input_output.h"
#include "stream.h"

namespace {

TEST(Report, WritesOneTabSeparatedLinePerRecordInUse)
{
	student s[3] = {
	    {101, "Ann", 90, 85, 77, 84.0},
	    {-7, "ABCDEFGHI", -1, 0, 0, -1.0 / 3.0},
	    {}, // never written: must not reach the report
	};
	std::memset(&s[2], 'Z', sizeof s[2]);
	Count = 2;
	output_stream out;
	write_report(out.get(), s);
	EXPECT_EQ(out.text(), "101\tAnn\t90\t85\t77\t84.00\n"
			      "-7\tABCDEFGHI\t-1\t0\t0\t-0.33\n");
}

TEST(Report, IsEmptyWhenNoRecordIsInUse)
{
	student s[1] = {{1, "A", 1, 1, 1, 1.0}};
	for (const int count : {0, -3}) {
		Count = count;
		output_stream out;
		write_report(out.get(), s);
		EXPECT_EQ(out.text(), "") << count;
	}
}

// Unbuffered, a write fails as it is made and leaves nothing for the final
// flush to fail on: the error flag alone must still fail the run.
TEST(FlushOutputDeathTest, ReportsAWriteThatFailedBeforeTheFlush)
{
	EXPECT_EXIT(
	    {
		    if (std::freopen("/dev/full", "w", stdout) == nullptr ||
			std::setvbuf(stdout, nullptr, _IONBF, 0) != 0)
			    std::_Exit(2);
		    std::fputs("x\n", stdout);
		    std::exit(flush_output() ? 0 : 1);
	    },
	    testing::ExitedWithCode(1),
	    "^roster: write error: No space left on device\n$");
}

} // namespace
