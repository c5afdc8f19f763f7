#include "host/authoring/show_check.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "effects/effect_factory.h"
#include "effects/entry_lines.h"
#include "media/pcm_track.h"
#include "platform/load_listener.h"
#include "render/texture.h"
#include "show/show_files.h"
#include "timeline/effect_list.h"
#include "timeline/script_file.h"
#include "timeline/script_parser.h"
#include "timeline/script_reader.h"

namespace {

// Edit distance, ignoring case: how far a misspelt name is from a known one.
size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

// Reads the script through the loader's parse, building every entry as a run
// does, and reports what it finds where a run would stop or pass over it.
class ShowChecker : public LoadListener, public ScriptEntries {
public:
    explicit ShowChecker(FILE* out) : out_(out), names_(EffectNames()) {}

    int Run()
    {
        if (!script_.Open(kScriptPath)) {
            Report(0, std::string("cannot be read (a run stops with \"Unable to load ") + kScriptPath + "\")");
            return Summary(0);
        }
        lines_ = script_.Lines();
        {
            ScopedLoadListener listening(*this);
            inHeader_ = true;
            ParseDemoScript(script_.Stream(), *this);
        }
        entryLine_ = 0;
        // The effects go before the stream that their plug-ins were given.
        for (auto& effect : effects_)
            effect.reset();
        return Summary(entries_);
    }

    // The parse.

    void Header(const ScriptHeader& header) override
    {
        inHeader_ = false;
        if (headerCut_) {
            Report(script_.LineOfLastRead(), "the script ends inside its header (music file, start offset, entry count)");
        } else {
            PcmTrack track;
            std::string error;
            if (!DecodeTrack(header.musicFile, track, error))
                Report(script_.LineAt(header.musicLineEnd - 1), "music file '" + header.musicFile + "' cannot be decoded: " + error);
        }
        CheckLoadingPicture();
    }

    void Named(const std::string&, long begin) override
    {
        ++entries_;
        entryBegin_ = begin;
        entryLine_ = script_.LineOfLastRead();
        inEntry_ = true;
        endedInside_ = false;
        reportedThrow_.clear();
    }

    bool Knows(const std::string& name) override
    {
        return std::find(names_.begin(), names_.end(), name) != names_.end();
    }

    // Constructs one entry as a run does; false when it failed.
    bool Entry(const std::string& name, int start, int end, FILE* script) override
    {
        std::unique_ptr<Effekt> effect;
        bool failed = false;
        try {
            effect.reset(CreateEffect(name, start, end, script));
        } catch (const std::exception& e) {
            failed = true;
            if (e.what() != reportedThrow_)
                Report(entryLine_, OneLine(e.what()));
        } catch (...) {
            failed = true;
            Report(entryLine_, "entry '" + name + "' fails with an unknown error");
        }
        inEntry_ = false;
        if (endedInside_)
            Report(entryLine_, "the script ends inside entry '" + name + "'");
        if (effect)
            effects_.push_back(std::move(effect));
        return !failed;
    }

    // Where a run stops, the check reports and goes on with the next entry.
    bool GoOnAfterProblem(const std::string& name, bool unknown, FILE*) override
    {
        inEntry_ = false;
        if (unknown)
            ReportUnknown(name);
        return SkipToNextEntry();
    }

    // What loading tells.

    void Problem(const std::string& path, const std::string& text) override
    {
        // An entry cut short by the end of the script reads empty paths; the
        // cut itself is the problem to report.
        if (endedInside_ && path.empty())
            return;
        Report(PlaceOf(path), text);
    }

    void Failure(const std::string& path, const std::string& text, const std::string& thrown) override
    {
        Report(PlaceOf(path), text);
        reportedThrow_ = thrown;
    }

    void NotANumber(FILE* stream, const std::string& line) override
    {
        if (stream == script_.Stream())
            Report(script_.LineOfLastRead(),
                   "'" + line + "' is not a number (it reads as " + std::to_string(ParseInt(line)) + ")");
    }

    void ReadPastEnd(FILE* stream) override
    {
        if (stream != script_.Stream())
            return;
        if (inHeader_)
            headerCut_ = true;
        if (inEntry_)
            endedInside_ = true;
    }

    void ProgramBuilt(unsigned program, const std::string& files) override { programs_[program] = files; }

    void UniformMissing(unsigned program, const std::string& name) override
    {
        const std::string& files = programs_[program];
        Report(PlaceOf(files), "shader program of " + files + " has no uniform '" + name + "'");
    }

private:
    void CheckLoadingPicture()
    {
        context_ = " (the loading picture)";
        CTextureFreeImage picture;
        picture.Load(kLoadingPicturePath);
        context_.clear();
    }

    void ReportUnknown(const std::string& name)
    {
        std::string best;
        size_t bestDistance = std::max<size_t>(2, name.size() / 3) + 1;
        for (const std::string& known : names_) {
            const size_t d = Distance(name, known);
            if (d < bestDistance) {
                bestDistance = d;
                best = known;
            }
        }
        Report(entryLine_, "unknown entry '" + name + "'" + (best.empty() ? "" : " (did you mean '" + best + "'?)"));
    }

    // After an entry that failed, the lines it did not read are passed over up
    // to the next line that starts an entry: a known name, or a line that is
    // no number followed by two number lines (a misspelt name, start, end).
    // False when no entry follows.
    bool SkipToNextEntry()
    {
        const long position = std::ftell(script_.Stream());
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].offset < position || !StartsEntry(i))
                continue;
            std::fseek(script_.Stream(), lines_[i].offset, SEEK_SET);
            return true;
        }
        return false;
    }

    bool StartsEntry(size_t i) const
    {
        const std::string& text = lines_[i].text;
        if (std::find(names_.begin(), names_.end(), text) != names_.end())
            return true;
        return !IsWholeNumber(text) && i + 2 < lines_.size() && IsWholeNumber(lines_[i + 1].text) &&
               IsWholeNumber(lines_[i + 2].text);
    }

    // The entry's own line that names path, or else the entry's first line.
    int PlaceOf(const std::string& path) const
    {
        const long position = std::ftell(script_.Stream());
        for (const ScriptLine& line : lines_)
            if (line.offset >= entryBegin_ && line.offset < position && !path.empty() && line.text == path)
                return line.number;
        return entryLine_;
    }

    void Report(int line, const std::string& text)
    {
        if (line > 0)
            std::fprintf(out_, "%s:%d: %s%s\n", kScriptPath, line, text.c_str(), context_.c_str());
        else
            std::fprintf(out_, "%s: %s%s\n", kScriptPath, text.c_str(), context_.c_str());
        ++problems_;
    }

    int Summary(int entries)
    {
        const std::string found = problems_ == 0   ? "no problems found"
                                  : problems_ == 1 ? "1 problem found"
                                                   : std::to_string(problems_) + " problems found";
        std::fprintf(out_, "%s: %d %s checked, %s\n", kScriptPath, entries, entries == 1 ? "entry" : "entries",
                     found.c_str());
        std::fflush(out_);
        return problems_ == 0 ? 0 : 1;
    }

    FILE* out_;
    std::vector<std::string> names_;
    ScriptFile script_;
    EffectList effects_;  // destroyed before the script that their plug-ins were given
    std::vector<ScriptLine> lines_;
    std::map<unsigned, std::string> programs_;
    int problems_ = 0;
    int entries_ = 0;
    std::string context_;

    // The entry being read.
    long entryBegin_ = 0;
    int entryLine_ = 0;
    bool inHeader_ = false;
    bool headerCut_ = false;
    bool inEntry_ = false;
    bool endedInside_ = false;
    std::string reportedThrow_;
};

}  // namespace

int CheckShow(FILE* out)
{
    ShowChecker checker(out);
    return checker.Run();
}
