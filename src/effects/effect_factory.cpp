#include "effects/effect_factory.h"

#include "effects/banger.h"
#include "effects/brum.h"
#include "effects/chaos_zoomer.h"
#include "effects/circles.h"
#include "effects/color_box.h"
#include "effects/floor_scenes.h"
#include "effects/image_layers.h"
#include "effects/light_scenes.h"
#include "effects/manden.h"
#include "effects/plasma2d.h"
#include "effects/polar_coords.h"
#include "effects/posed_scenes.h"
#include "effects/prikker.h"
#include "effects/quell_ringe.h"
#include "effects/rubber3d.h"
#include "effects/shader_scenes.h"
#include "effects/shader_show.h"
#include "effects/sky_flights.h"
#include "effects/solaris.h"
#include "effects/stroboskop.h"
#include "effects/video.h"
#include "effects/zoomers.h"
#include "effects/plugin_loader.h"
#include "timeline/script_reader.h"

namespace {

using Creator = Effekt* (*)(int start, int end, const EntryArguments& arguments, FILE* script);

struct FactoryEntry {
    const char* name;
    const char* lines;  // the extra lines, as EntryLines gives them
    Creator create;
};

template <class T>
Effekt* Plain(int start, int end, const EntryArguments&, FILE*)
{
    return new T(start, end);
}

Effekt* MakeAlphaBlendImage(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::AlphaBlendImage(start, end, a.text[0].c_str(), a.text[1]);
}

Effekt* MakeMask(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::Mask(start, end, a.text[0].c_str());
}

Effekt* MakePlasma2D(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::Plasma2D(start, end, a.numbers[0]);
}

Effekt* MakeZoomba(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::Zoomba(start, end, a.text[0].c_str(), a.text[1].c_str(), a.text[2].c_str());
}

Effekt* MakeSkyUp(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::SkyUp(start, end, a.text[0].c_str());
}

Effekt* MakeShaderShow(int start, int end, const EntryArguments& a, FILE*)
{
    return new Effekter::ShaderShow(start, end, a.text[0].c_str(), a.text[1].c_str());
}

// The rows live in effect_table.inc, shared with the script's layout.
const FactoryEntry kFactory[] = {
#define EFFECT_ENTRY(name, lines, create) {name, lines, create},
#include "effects/effect_table.inc"
#undef EFFECT_ENTRY
};

}  // namespace

Effekt* CreateEffect(const std::string& name, int start, int end, FILE* script)
{
    for (const FactoryEntry& entry : kFactory) {
        if (name != entry.name)
            continue;
        const EntryArguments arguments = ReadEntryArguments(entry.lines, script);
        return entry.create(start, end, arguments, script);
    }
    return nullptr;
}
