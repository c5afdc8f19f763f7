#include "timeline/script_parser.h"

#include "platform/demo_error.h"
#include "timeline/script_reader.h"

void ParseDemoScript(FILE* script, ScriptHeader& header, ScriptEntries& entries)
{
    header.musicFile = ReadLine(script);
    header.startOffset = ReadInt(script);
    header.count = ReadInt(script);
    entries.Header(header);

    while (!std::feof(script)) {
        const std::string name = ReadLine(script);
        // A line break after the last entry leaves nothing but the end of the
        // file: that is the end of the script, not an entry without a name.
        if (name.empty() && std::feof(script))
            break;
        const int start = ReadInt(script);
        const int end = ReadInt(script);
        if (!entries.Entry(name, start, end, script))
            ThrowMessage("Unknown entry '%s' in file, please correct", name.c_str());
    }
}
