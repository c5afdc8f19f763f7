#pragma once
#include <cstdio>
#include <string>

// Line-based reading of the demo script and the other text files the player
// reads: lines starting with '#' are skipped, trailing blanks are cut, at most
// 1023 characters come back per read (longer lines come back in pieces), and
// a read at the end of the file gives an empty line.
std::string ReadLine(FILE* stream);

// The two rules of a line, shared with the show check's view of the script:
// whether a line (from its first character) is a comment, and the length of
// text left once trailing blanks and line ends are cut.
bool IsCommentLine(const char* line);
size_t TrimmedLength(const char* text, size_t length);

// A line read as above, converted with ParseInt.
int ReadInt(FILE* stream);

// Reads a number as atoi does (blanks in front, an optional sign, digits up to
// the first other character; no digits gives 0), saturating at the int range.
int ParseInt(const std::string& line);

// Whether atoi reads the whole line as a number in the int range: blanks in
// front, an optional sign, then digits and nothing else.
bool IsWholeNumber(const std::string& line);
