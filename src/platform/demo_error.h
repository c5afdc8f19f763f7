#pragma once
#include <stdexcept>
#include <string>

// Every failure of the program travels as one of these, carrying the message
// that the top-level handler shows.
class DemoError : public std::runtime_error {
public:
    explicit DemoError(const std::string& message) : std::runtime_error(message) {}
};

// The ways a run ends that are no failure (the show's end entry, the window's
// close box): reported as a failure is, but the run exits with code 0.
class RunEnded : public DemoError {
public:
    using DemoError::DemoError;
};

// Formats printf-style into a 1024-byte buffer (longer texts are cut) and throws it.
[[noreturn]] void ThrowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
