#pragma once

// Reads text as a whole number in the int range: blanks in front, an optional
// sign, digits and nothing after them. False, with value untouched, for
// anything else. The one rule for numbers that must be whole: the command
// line's, a --times file's, and the script lines the show check calls numbers.
bool ReadWholeNumber(const char* text, int& value);
