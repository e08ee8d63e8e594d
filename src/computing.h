#ifndef COMPUTING_H
#define COMPUTING_H

#include "roster_main.h"

// Sets avg of the first Count records of s to the mean of their marks.
void average(student *s);

#endif
