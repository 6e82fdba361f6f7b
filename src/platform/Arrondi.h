#pragma once
// The one rounding of the program: to the nearest integer, halves to even.

// The rounded value, still a double (for values that may exceed an int: times, scaled numbers).
double arrondiPair(double v);

// v rounded to a multiple of pas; v itself when pas is not a positive finite step or when the
// quotient is too large to have a fractional part.
double arrondiAuPas(double v, double pas);

// The rounded value as an int, saturated: a pixel, a count, an index. Values beyond the int
// range give its bounds, and NaN gives the lower bound, so a bad number never wraps around.
int arrondi(double v);
