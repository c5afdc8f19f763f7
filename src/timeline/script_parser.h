#pragma once
#include <cstdio>
#include <string>

// The grammar of a demo script, written once: the loader builds the show from
// this parse, and the show check reads the same parse, going on after problems.
//
//   music file           a text line
//   start offset         a number line (seconds)
//   entry count          a number line, for the loading display only
//   then to the end of the file, each entry:
//   name                 a text line naming a factory entry
//   start, end           number lines (ms of effect time)
//   extra lines          as many as the entry takes (effects/effect_table.inc)
//
// Lines are read by script_reader.h (comments, blanks, numbers).

// The three lines that open a demo script.
struct ScriptHeader {
    std::string musicFile;
    int startOffset = 0;
    int count = 0;  // the number of entries, for the loading display only
    long musicLineEnd = 0;  // where the stream stood after the music line
};

// Told about each part of a script as it is read.
class ScriptEntries {
public:
    virtual ~ScriptEntries() = default;
    virtual void Header(const ScriptHeader&) {}
    // An entry's name line has been read; begin is where the stream stood
    // before it (comment lines come before the name).
    virtual void Named(const std::string& /*name*/, long /*begin*/) {}
    // Whether an entry of this name can be built; asked before its start and
    // end are read.
    virtual bool Knows(const std::string& name) = 0;
    // Builds a known entry whose start and end have been read; the script
    // stands at its extra lines, which are the receiver's to read. Returns
    // false when the entry failed and the receiver has told of it; a receiver
    // that stops at the first error throws instead.
    virtual bool Entry(const std::string& name, int start, int end, FILE* script) = 0;
    // The hook for going on after a problem: an unknown name, or an entry
    // that failed. True when the receiver has set the script at the next entry
    // to read; false ends the parse. The default ends it, throwing "Unknown
    // entry '%s' in file, please correct" after an unknown name.
    virtual bool GoOnAfterProblem(const std::string& name, bool unknown, FILE* script);
};

// Reads a whole script: the header, then entries up to the end of the file.
void ParseDemoScript(FILE* script, ScriptEntries& entries);
