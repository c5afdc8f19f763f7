#include "timeline/script_parser.h"

#include "platform/demo_error.h"
#include "timeline/script_reader.h"

bool ScriptEntries::GoOnAfterProblem(const std::string& name, bool unknown, FILE*)
{
    if (unknown)
        ThrowMessage("Unknown entry '%s' in file, please correct", name.c_str());
    return false;
}

void ParseDemoScript(FILE* script, ScriptEntries& entries)
{
    ScriptHeader header;
    header.musicFile = ReadLine(script);
    header.musicLineEnd = std::ftell(script);
    header.startOffset = ReadInt(script);
    header.count = ReadInt(script);
    entries.Header(header);

    while (!std::feof(script)) {
        const long begin = std::ftell(script);
        const std::string name = ReadLine(script);
        // A line break after the last entry leaves nothing but the end of the
        // file: that is the end of the script, not an entry without a name.
        if (name.empty() && std::feof(script))
            break;
        entries.Named(name, begin);
        const bool unknown = !entries.Knows(name);
        bool built = false;
        if (!unknown) {
            const int start = ReadInt(script);
            const int end = ReadInt(script);
            built = entries.Entry(name, start, end, script);
        }
        if (!built && !entries.GoOnAfterProblem(name, unknown, script))
            break;
    }
}
