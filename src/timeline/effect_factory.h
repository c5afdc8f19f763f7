#pragma once
#include <cstdio>
#include <string>
#include <vector>

class Effekt;

// Builds the effect that a script entry names, reading the entry's extra lines
// from the script. Returns nullptr for a name the table does not know.
Effekt* CreateEffect(const std::string& name, int start, int end, FILE* script);

// Every name of the table, in table order, including those not built into
// this program (CreateEffect gives nullptr for them).
std::vector<std::string> EffectNames();
