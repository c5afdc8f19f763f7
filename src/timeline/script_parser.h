#pragma once
#include <cstdio>
#include <string>

// The three lines that open a demo script.
struct ScriptHeader {
    std::string musicFile;
    int startOffset = 0;
    int count = 0;  // the number of entries, for the loading display only
};

// Told about each part of a script as it is read.
class ScriptEntries {
public:
    virtual ~ScriptEntries() = default;
    virtual void Header(const ScriptHeader&) {}
    // An entry whose name, start and end have been read; the script stands at
    // its extra lines, which are the receiver's to read. False for a name that
    // is not known.
    virtual bool Entry(const std::string& name, int start, int end, FILE* script) = 0;
};

// Reads a whole script: the header, then entries up to the end of the file.
// Throws "Unknown entry '%s' in file, please correct" when Entry refuses a name.
void ParseDemoScript(FILE* script, ScriptHeader& header, ScriptEntries& entries);
