#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "effects/entry_lines.h"

class Effekt;

// Builds the effect that a script entry names, reading the entry's extra lines
// from the script. Returns nullptr for a name the table does not know.
Effekt* CreateEffect(const std::string& name, int start, int end, FILE* script);
