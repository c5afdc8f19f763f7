#pragma once
#include <cstdio>
#include <string>
#include <vector>

// What the script says about an entry beyond its name, start and end: its
// extra lines in order, text lines and number lines apart.
struct EntryArguments {
    std::vector<std::string> text;
    std::vector<int> numbers;
};

// The extra lines that an entry of this name takes, one letter a line ('t'
// text, 'i' number); nullptr for a name the factory table does not know.
const char* EntryLines(const std::string& name);

// Reads the extra lines that lines describes. A null script is fine when
// lines is empty.
EntryArguments ReadEntryArguments(const char* lines, FILE* script);

// Every name of the table, in table order.
std::vector<std::string> EffectNames();
