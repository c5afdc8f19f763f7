#include "timeline/effect_factory.h"

#include "effects/image_layers.h"
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

// Tested in this order; the first equal name wins.
const FactoryEntry kFactory[] = {
    {"Plugin", Effekter::MakePluginLoader},

    {"ChaosZoomer", nullptr},

    {"Stroboskop", nullptr},

    {"Rubber3d", nullptr},

    {"Plasma2D", nullptr},

    {"Brum", nullptr},

    {"Banger", nullptr},

    {"ColorBox", nullptr},

    {"Zoomba", nullptr},

    {"Zoombb", nullptr},

    {"Solaris", nullptr},

    {"FlashWhite", Plain<Effekter::FlashWhite>},

    {"PolarCoords", nullptr},

    {"FogRotator", nullptr},

    {"WalkCube", nullptr},

    {"SkyUp", nullptr},

    {"AlphaBlendImage", MakeAlphaBlendImage},

    {"Tunnel", nullptr},

    {"Faces", nullptr},

    {"TwistBox", nullptr},

    {"Circles", nullptr},

    {"NanoBall", nullptr},

    {"Overlays", Plain<Effekter::Overlays>},

    {"EndDemo", Plain<Effekter::EndDemo>},

    {"ShaderSuite3D", nullptr},

    {"Quell3D", nullptr},

    {"Prikker", nullptr},

    {"Video", nullptr},

    {"Spheres", nullptr},

    {"Mirror", nullptr},

    {"BallsBounce", nullptr},

    {"Manden", nullptr},

    {"QuellRinge", nullptr},

    {"ShaderShow", nullptr},

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
