#include <cstdlib>

#include "computing.h"
#include "input_output.h"
#include "roster_main.h"

// roster: asks how many students there are, reads a number, a name and
// three marks (computer, math, English) for each from standard input, and
// prints one tab-separated line per student with the average of the three
// marks to two decimals.  Bad input is reported on standard error; the
// exit status is 0 only when the input was read whole and the report
// was written.
int
main()
{
	student students[Maxsize];

	const bool read_whole = new_student(students);
	average(students);
	output_student(students);
	const bool written = flush_output();
	return read_whole && written ? EXIT_SUCCESS : EXIT_FAILURE;
}
