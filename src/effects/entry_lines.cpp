#include "effects/entry_lines.h"

#include "timeline/script_reader.h"

namespace {

struct EntryShape {
    const char* name;
    const char* lines;
};

// The creators are left out: this file knows the script's layout and nothing
// about building effects, so that it can be used without GL.
const EntryShape kShapes[] = {
#define EFFECT_ENTRY(name, lines, create) {name, lines},
#include "effects/effect_table.inc"
#undef EFFECT_ENTRY
};

}  // namespace

const char* EntryLines(const std::string& name)
{
    for (const EntryShape& shape : kShapes)
        if (name == shape.name)
            return shape.lines;
    return nullptr;
}

EntryArguments ReadEntryArguments(const char* lines, FILE* script)
{
    EntryArguments arguments;
    for (const char* kind = lines; *kind; ++kind) {
        if (*kind == 'i')
            arguments.numbers.push_back(ReadInt(script));
        else
            arguments.text.push_back(ReadLine(script));
    }
    return arguments;
}

std::vector<std::string> EffectNames()
{
    std::vector<std::string> names;
    for (const EntryShape& shape : kShapes)
        names.push_back(shape.name);
    return names;
}
