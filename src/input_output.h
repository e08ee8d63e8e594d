// The dialogue: the prompts, reading the count and the records, and the
// report.  The stream-level functions let a test or a fuzz target drive
// the same code without starting a process.
#ifndef INPUT_OUTPUT_H
#define INPUT_OUTPUT_H

#include <cstddef>
#include <cstdio>

#include "roster_main.h"

// The result of one conversion.
enum class scan_status {
	ok,
	name_cut,	// the name was longer than the field; a prefix is kept
	end,		// end of input before the token began
	read_error,	// the input could not be read; the errno is kept
	not_number,	// a number was due and the token is not one
	out_of_range,	// the number does not fit in 32 bits
};

// The first bytes of the token a conversion met, kept for messages so
// that a huge token is streamed past, never held.
struct token {
	char bytes[32];
	std::size_t len;
	bool more;	// the token went on past what bytes holds
	int error;	// errno of a read error
};

// Skips white space, then reads an optional sign and a run of decimal
// digits into *value.  A byte glued to the number (12Ann) is left in the
// stream.  On a failure, seen holds the start of the offending token.
scan_status scan_int(std::FILE *in, int *value, token *seen);

// Skips white space, then reads a run of other bytes into name.  One
// longer than the field is cut to fit without splitting a GBK double-byte
// character, and the rest of it is read and dropped.  Returns ok,
// name_cut, end or read_error.
scan_status scan_name(std::FILE *in, char (&name)[sizeof student::name],
    token *seen);

// Writes both prompts to out, reads the count and the records from in
// into s and sets Count to the number read whole.  Reports bad input on
// err and returns false; then Count covers the records before the bad one.
bool read_roster(std::FILE *in, std::FILE *out, std::FILE *err, student *s);

// Writes one report line for each of the first Count records of s.
void write_report(std::FILE *out, const student *s);

// read_roster on the standard streams.
bool new_student(student *s);

// write_report on standard output.
void output_student(const student *s);

// Flushes standard output and reports any write that failed along the way.
bool flush_output();

#endif
