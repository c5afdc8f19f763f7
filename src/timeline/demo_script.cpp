#include "timeline/demo_script.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "host/demo_window.h"
#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/plain_file.h"
#include "render/screen.h"
#include "timeline/effect_factory.h"
#include "timeline/script_parser.h"
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

constexpr char kScriptPath[] = "data/demo.txt";

// Only a plain file is opened: a folder reads nothing, and opening a FIFO or a
// device could wait for ever. Null when there is none to read.
FILE* OpenScriptFile()
{
    return IsPlainFile(kScriptPath) ? std::fopen(kScriptPath, "r") : nullptr;
}

// Builds each entry's effect into the list, stepping the loading display
// (when there is a window) before each one.
class EffectBuilder : public ScriptEntries {
public:
    EffectBuilder(EffectList& effects, DemoWindow* window, std::vector<std::string>* names)
        : effects_(effects), window_(window), names_(names)
    {
    }

    void Header(const ScriptHeader& header) override
    {
        if (window_)
            loading_.emplace(*window_, header.count);
    }

    bool Entry(const std::string& name, int start, int end, FILE* script) override
    {
        if (loading_)
            loading_->ShowProgress();
        std::unique_ptr<Effekt> effect(CreateEffect(name, start, end, script));
        if (!effect)
            return false;

        char message[1024];
        std::snprintf(message, sizeof message, "Loaded %s with start time %i and end time %i\n", name.c_str(), start,
                      end);
        DebugOutput(message);
        effects_.push_back(std::move(effect));
        if (names_)
            names_->push_back(name);
        return true;
    }

private:
    EffectList& effects_;
    DemoWindow* window_;
    std::vector<std::string>* names_;
    std::optional<LoadingScreen> loading_;
};

// Reads the script; a window gets the loading display, nullptr none.
void ReadScript(EffectList& effects, DemoWindow* window, std::string& musicFile, int& startOffset,
                std::vector<std::string>* names)
{
    if (g_script)
        std::fclose(g_script);
    g_script = OpenScriptFile();
    if (!g_script)
        ThrowMessage("Unable to load data/demo.txt");

    ScriptHeader header;
    EffectBuilder builder(effects, window, names);
    ParseDemoScript(g_script, header, builder);
    musicFile = header.musicFile;
    startOffset = header.startOffset;
}

}  // namespace

std::string ScriptMusicFile()
{
    FILE* script = OpenScriptFile();
    if (!script)
        return std::string();
    const std::string music = ReadLine(script);
    std::fclose(script);
    return music;
}

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
