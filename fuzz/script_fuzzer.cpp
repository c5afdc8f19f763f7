// Feeds arbitrary bytes to the demo script reader through a factory that
// records entries instead of building effects: every entry's extra lines are
// read as the real factory reads them, so the whole script is walked.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "effects/entry_lines.h"
#include "timeline/script_parser.h"

namespace {

class RecordingFactory : public ScriptEntries {
public:
    bool Knows(const std::string& name) override { return EntryLines(name) != nullptr; }

    bool Entry(const std::string& name, int, int, FILE* script) override
    {
        const char* lines = EntryLines(name);
        const EntryArguments arguments = ReadEntryArguments(lines, script);
        if (arguments.text.size() + arguments.numbers.size() != std::strlen(lines)) {
            std::fprintf(stderr, "script_fuzzer: entry %s read the wrong number of lines\n", name.c_str());
            std::abort();
        }
        ++entries;
        return true;
    }
    int entries = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;  // fmemopen refuses an empty buffer
    FILE* script = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!script)
        return 0;
    RecordingFactory factory;
    try {
        ParseDemoScript(script, factory);
    } catch (const std::exception&) {
        // An unknown entry ends the reading, as it ends a run.
    }
    std::fclose(script);
    return 0;
}
