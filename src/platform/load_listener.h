#pragma once
#include <cstdio>
#include <string>
#include <vector>

// Told what loading a show reads and what goes wrong on the way. A plain run
// has no listener; the show check listens to report what a run passes over in
// silence, and a live run to learn which files to watch for edits. Listening
// changes nothing in what loading does.
class LoadListener {
public:
    virtual ~LoadListener() = default;

    // A file that loading tried to read, whether or not it could.
    virtual void FileUsed(const std::string&) {}
    // Something wrong with the file at path that loading goes on after.
    virtual void Problem(const std::string& /*path*/, const std::string& /*text*/) {}
    // Something wrong with the file at path that is about to be thrown as
    // `thrown`; text says it in one line.
    virtual void Failure(const std::string& /*path*/, const std::string& /*text*/, const std::string& /*thrown*/) {}
    // A line read as a number that is not one (it reads as ParseInt makes of it).
    virtual void NotANumber(FILE*, const std::string& /*line*/) {}
    // A line read from a stream that had nothing left (it reads as empty).
    virtual void ReadPastEnd(FILE*) {}
    // A shader program was linked from the given source files.
    virtual void ProgramBuilt(unsigned /*program*/, const std::string& /*files*/) {}
    // A uniform that a program does not have was looked up.
    virtual void UniformMissing(unsigned /*program*/, const std::string& /*name*/) {}
};

// Collects the files that loading reads, in the order it reads them.
class LoadedFiles : public LoadListener {
public:
    void FileUsed(const std::string& path) override { files.push_back(path); }
    std::vector<std::string> files;
};

// The lines of text joined by " / ", blank lines and trailing blanks left out:
// a compiler's log or an error message fit for a one-line report.
std::string OneLine(const std::string& text);

// The listener now in place, or nullptr.
LoadListener* CurrentLoadListener();

// Puts a listener in place for the length of a block.
class ScopedLoadListener {
public:
    explicit ScopedLoadListener(LoadListener& listener);
    ~ScopedLoadListener();
    ScopedLoadListener(const ScopedLoadListener&) = delete;
    ScopedLoadListener& operator=(const ScopedLoadListener&) = delete;

private:
    LoadListener* previous_;
};
