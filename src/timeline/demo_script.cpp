#include "timeline/demo_script.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "host/demo_window.h"
#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "render/screen.h"
#include "timeline/effect_factory.h"
#include "timeline/script_reader.h"

LoadingScreen::LoadingScreen(DemoWindow& window, int count) : window_(window), count_(count)
{
    picture_.Load("data/overlay/loader.jpg");
}

LoadingScreen::~LoadingScreen() = default;

float LoadingScreen::Offset() const
{
    // A count of 0 or less has no sensible step; the picture stays where it starts.
    const float remaining = count_ > 0 ? 1.0f - static_cast<float>(index_) / static_cast<float>(count_) : 1.0f;
    return 0.5f - remaining;
}

void LoadingScreen::ShowProgress()
{
    glClear(GL_COLOR_BUFFER_BIT);
    const float offset = Offset();
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, picture_.texture);
    glTranslatef(0, offset, -2);
    TexturedQuad quad(1, 1.2f);
    quad.Draw(1, -1);
    try {
        window_.FramePump();
    } catch (...) {
        glBindTexture(GL_TEXTURE_2D, 0);
        glPopMatrix();
        throw;
    }
    ++index_;
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

namespace {

// The script stays open for the rest of the run: plug-ins may keep the stream
// their Init was given.
FILE* g_script = nullptr;

// Reads the script; a window gets the loading display, nullptr none.
void ReadScript(EffectList& effects, DemoWindow* window, std::string& musicFile, int& startOffset,
                std::vector<std::string>* names)
{
    if (g_script)
        std::fclose(g_script);
    g_script = std::fopen("data/demo.txt", "r");
    // A folder opens but reads nothing; it is no script either.
    struct stat info;
    if (g_script && (fstat(fileno(g_script), &info) != 0 || S_ISDIR(info.st_mode))) {
        std::fclose(g_script);
        g_script = nullptr;
    }
    if (!g_script)
        ThrowMessage("Unable to load data/demo.txt");
    FILE* script = g_script;

    musicFile = ReadLine(script);
    startOffset = ReadInt(script);
    const int count = ReadInt(script);

    std::optional<LoadingScreen> loading;
    if (window)
        loading.emplace(*window, count);
    while (!std::feof(script)) {
        const std::string name = ReadLine(script);
        // A line break after the last entry leaves nothing but the end of the
        // file: that is the end of the script, not an entry without a name.
        if (name.empty() && std::feof(script))
            break;
        const int start = ReadInt(script);
        const int end = ReadInt(script);

        if (loading)
            loading->ShowProgress();

        std::unique_ptr<Effekt> effect(CreateEffect(name, start, end, script));
        if (!effect)
            ThrowMessage("Unknown entry '%s' in file, please correct", name.c_str());

        char message[1024];
        std::snprintf(message, sizeof message, "Loaded %s with start time %i and end time %i\n", name.c_str(), start,
                      end);
        DebugOutput(message);
        effects.push_back(std::move(effect));
        if (names)
            names->push_back(name);
    }
}

}  // namespace

void LoadDemoScript(EffectList& effects, DemoWindow& window, std::string& musicFile, int& startOffset,
                    std::vector<std::string>* names)
{
    ReadScript(effects, &window, musicFile, startOffset, names);
}

void LoadDemoScriptQuietly(EffectList& effects, std::string& musicFile, int& startOffset,
                           std::vector<std::string>* names)
{
    ReadScript(effects, nullptr, musicFile, startOffset, names);
}
