#include "computing.h"

#include <cstdint>

void
average(student *s)
{
	for (int i = 0; i < Count; ++i) {
		// Summed in 64 bits: three 32-bit marks can leave the 32-bit
		// range, and every such sum is still exact as a double.
		const std::int64_t sum = std::int64_t{s[i].computer} +
		    s[i].math + s[i].english;
		s[i].avg = static_cast<double>(sum) / 3.0;
	}
}
