#include "timeline/effect_factory.h"

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
#include "timeline/plugin_loader.h"
#include "timeline/script_reader.h"

namespace {

using Creator = Effekt* (*)(int start, int end, FILE* script);

struct FactoryEntry {
    const char* name;
    Creator create;  // nullptr: not available in this build
};

template <class T>
Effekt* Plain(int start, int end, FILE*)
{
    return new T(start, end);
}

Effekt* MakeAlphaBlendImage(int start, int end, FILE* script)
{
    const std::string image = ReadLine(script);
    const std::string mode = ReadLine(script);
    return new Effekter::AlphaBlendImage(start, end, image.c_str(), mode);
}

Effekt* MakeMask(int start, int end, FILE* script)
{
    const std::string image = ReadLine(script);
    return new Effekter::Mask(start, end, image.c_str());
}

Effekt* MakePlasma2D(int start, int end, FILE* script)
{
    const int seed = ReadInt(script);
    return new Effekter::Plasma2D(start, end, seed);
}

Effekt* MakeZoomba(int start, int end, FILE* script)
{
    const std::string layer = ReadLine(script);
    const std::string background = ReadLine(script);
    const std::string overlay = ReadLine(script);
    return new Effekter::Zoomba(start, end, layer.c_str(), background.c_str(), overlay.c_str());
}

Effekt* MakeSkyUp(int start, int end, FILE* script)
{
    const std::string clouds = ReadLine(script);
    return new Effekter::SkyUp(start, end, clouds.c_str());
}

Effekt* MakeShaderShow(int start, int end, FILE* script)
{
    const std::string shader = ReadLine(script);
    const std::string image = ReadLine(script);
    return new Effekter::ShaderShow(start, end, shader.c_str(), image.c_str());
}

// Tested in this order; the first equal name wins.
const FactoryEntry kFactory[] = {
    {"Plugin", Effekter::MakePluginLoader},

    {"ChaosZoomer", Plain<Effekter::ChaosZoomer>},

    {"Stroboskop", Plain<Effekter::Stroboskop>},

    {"Rubber3d", Plain<Effekter::Rubber3d>},

    {"Plasma2D", MakePlasma2D},

    {"Brum", Plain<Effekter::Brum>},

    {"Banger", Plain<Effekter::Banger>},

    {"ColorBox", Plain<Effekter::ColorBox>},

    {"Zoomba", MakeZoomba},

    {"Zoombb", Plain<Effekter::Zoombb>},

    {"Solaris", Plain<Effekter::Solaris>},

    {"FlashWhite", Plain<Effekter::FlashWhite>},

    {"PolarCoords", Plain<Effekter::PolarCoords>},

    {"FogRotator", Plain<Effekter::FogRotator>},

    {"WalkCube", Plain<Effekter::WalkCube>},

    {"SkyUp", MakeSkyUp},

    {"AlphaBlendImage", MakeAlphaBlendImage},

    {"Tunnel", Plain<Effekter::Tunnel>},

    {"Faces", Plain<Effekter::Faces>},

    {"TwistBox", Plain<Effekter::TwistBox>},

    {"Circles", Plain<Effekter::Circles>},

    {"NanoBall", Plain<Effekter::NanoBall>},

    {"Overlays", Plain<Effekter::Overlays>},

    {"EndDemo", Plain<Effekter::EndDemo>},

    {"ShaderSuite3D", Plain<Effekter::ShaderSuite3D>},

    {"Quell3D", Plain<Effekter::Quell3D>},

    {"Prikker", Plain<Effekter::Prikker>},

    {"Video", Plain<Effekter::Video>},

    {"Spheres", Plain<Effekter::Spheres>},

    {"Mirror", Plain<Effekter::Mirror>},

    {"BallsBounce", Plain<Effekter::BallsBounce>},

    {"Manden", Plain<Effekter::Manden>},

    {"QuellRinge", Plain<Effekter::QuellRinge>},

    {"ShaderShow", MakeShaderShow},

    {"Mask", MakeMask},
};

}  // namespace

Effekt* CreateEffect(const std::string& name, int start, int end, FILE* script)
{
    for (const FactoryEntry& entry : kFactory) {
        if (name == entry.name)
            return entry.create ? entry.create(start, end, script) : nullptr;
    }
    return nullptr;
}

std::vector<std::string> EffectNames()
{
    std::vector<std::string> names;
    for (const FactoryEntry& entry : kFactory)
        names.push_back(entry.name);
    return names;
}
