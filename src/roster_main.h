// The roster that the three stages share: its capacity, the count of
// records in use, and the record itself.
#ifndef ROSTER_MAIN_H
#define ROSTER_MAIN_H

#include <limits>

// Counts, student numbers and marks are read and printed with %d.
static_assert(std::numeric_limits<int>::digits == 31, "int must be 32 bits");

// How many records the roster holds.
inline constexpr int Maxsize = 50;

// How many records are in use: set once by new_student, read by the
// later stages.  Zero or below puts no record in use.
inline int Count = 0;

struct student {
	int num;
	char name[10];	// at most 9 bytes, then a zero byte
	int computer;
	int math;
	int english;
	double avg;
};

#endif
