// The show's pseudo-random generator: uniform integers from 0 to randomMax
// (15 bits), whatever the C library's own rand() yields. Seeded once at
// start-up from the current time; tests and the capture tool seed it with a
// fixed value to get the same show every run. Main thread only.
#pragma once

const int randomMax = 32767;

void seedRandom(unsigned seed);
// The next integer in 0..randomMax.
int randomInt();
