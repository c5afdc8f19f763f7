#include "show/show_loader.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "effects/effect_factory.h"
#include "effects/entry_lines.h"
#include "effects/image_layers.h"
#include "platform/debug_output.h"
#include "platform/demo_error.h"
#include "platform/window.h"
#include "render/picture_queue.h"
#include "show/loading_screen.h"
#include "show/show_files.h"
#include "timeline/script_parser.h"
#include "timeline/script_reader.h"

namespace {

// Builds each entry's effect into the show, stepping the loading display
// (when there is a window) before each one.
class ShowBuilder : public ScriptEntries {
public:
    ShowBuilder(Show& show, Window* window, bool showLoading)
        : show_(show), window_(window), showLoading_(showLoading)
    {
    }

    void Header(const ScriptHeader& header) override
    {
        show_.musicFile = header.musicFile;
        show_.startOffset = header.startOffset;
        // Made while the window is the GL thread's: the loading display may lend it.
        std::unique_ptr<SharedContext> uploads = window_ ? window_->ShareContext() : nullptr;
        if (window_ && showLoading_)
            loading_.emplace(*window_, header.count);
        // After the loading picture, which shows before anything else.
        pictures_.emplace(std::move(uploads));
    }

    void Named(const std::string&, long) override
    {
        nameLine_ = show_.script.LineOfLastRead();
        if (pictures_)
            pictures_->UploadReady();
        if (loading_)
            loading_->ShowProgress();
    }

    void Finish()
    {
        // Drawn on this thread, the last step shows before the pictures are
        // finished here; on the display's own thread, steps go on showing.
        if (loading_ && !loading_->OnItsOwnThread())
            loading_->Present();
        if (pictures_)
            pictures_->Finish();
        if (loading_)
            loading_->Present();
    }

    bool Knows(const std::string& name) override { return EntryLines(name) != nullptr; }

    bool Entry(const std::string& name, int start, int end, FILE* script) override
    {
        std::unique_ptr<Effekt> effect(CreateEffect(name, start, end, script));
        char message[1024];
        std::snprintf(message, sizeof message, "Loaded %s with start time %i and end time %i\n", name.c_str(), start,
                      end);
        DebugOutput(message);
        // The first end-of-show entry that can be reached ends a capture.
        if (dynamic_cast<const Effekter::EndDemo*>(effect.get()) && effect->start >= 0)
            show_.endMs = std::min(show_.endMs.value_or(effect->start), effect->start);
        show_.effects.push_back(std::move(effect));
        show_.names.push_back(name);
        show_.lines.push_back(nameLine_);
        return true;
    }

private:
    Show& show_;
    Window* window_;
    bool showLoading_;
    std::optional<LoadingScreen> loading_;
    std::optional<PictureQueue> pictures_;  // the effects' pictures decode while the next ones load
    int nameLine_ = 0;
};

}  // namespace

std::string ScriptMusicFile()
{
    ScriptFile script;
    return script.Open(kScriptPath) ? ReadLine(script.Stream()) : std::string();
}

bool ScriptMayName(const std::string& entry)
{
    ScriptFile script;
    if (!script.Open(kScriptPath))
        return false;
    for (const ScriptLine& line : script.Lines())
        if (line.text == entry)
            return true;
    return false;
}

void LoadShow(Show& show, Window* window, bool showLoading)
{
    if (!show.script.Open(kScriptPath))
        ThrowMessage("Unable to load %s", kScriptPath);
    ShowBuilder builder(show, window, showLoading);
    ScopedGlRecording recording(show.gl);
    ParseDemoScript(show.script.Stream(), builder);
    builder.Finish();
}
