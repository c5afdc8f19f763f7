#pragma once
#include <cstdio>
#include <string>
#include <vector>

// A line of a script as ReadLine gives it (comment lines are none), with
// where it starts in the file and its line number.
struct ScriptLine {
    long offset;
    int number;
    std::string text;
};

// An open script: the stream that the parse reads and plug-ins may go on
// reading while their effects live, closed with this object, and the script's
// text, for telling on which line a place in the stream lies.
class ScriptFile {
public:
    ScriptFile() = default;
    ~ScriptFile();
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;

    // Opens path when it names a plain file (a folder reads nothing, and
    // opening a FIFO or a device could wait for ever); false otherwise.
    bool Open(const char* path);
    // Null until opened.
    FILE* Stream() const { return stream_; }
    const std::string& Text() const { return text_; }

    // The number of the line that holds the byte at offset (1 for the first).
    int LineAt(long offset) const;
    // The number of the line that the last read on the stream ended in.
    int LineOfLastRead() const;
    // Every line that is no comment, trailing blanks cut.
    std::vector<ScriptLine> Lines() const;

private:
    FILE* stream_ = nullptr;
    std::string text_;
};
