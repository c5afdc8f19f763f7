#include "host/show_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/load_listener.h"
#include "platform/pcm_track.h"
#include "render/texture.h"
#include "timeline/effect_factory.h"
#include "timeline/effect_list.h"
#include "timeline/script_reader.h"

namespace {

constexpr const char* kScript = "data/demo.txt";
constexpr const char* kLoadingPicture = "data/overlay/loader.jpg";

// A line of the script as ReadLine gives it (comments left out), with where
// it starts in the file and its line number.
struct ScriptLine {
    long offset;
    int number;
    std::string text;
};

std::vector<ScriptLine> ScanLines(const std::string& content)
{
    std::vector<ScriptLine> lines;
    size_t begin = 0;
    for (int number = 1; begin < content.size(); ++number) {
        size_t end = content.find('\n', begin);
        if (end == std::string::npos)
            end = content.size();
        if (content[begin] != '#') {
            size_t last = end;
            while (last > begin && std::string(" \t\r").find(content[last - 1]) != std::string::npos)
                --last;
            lines.push_back({static_cast<long>(begin), number, content.substr(begin, last - begin)});
        }
        begin = end + 1;
    }
    return lines;
}

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

bool ReadScriptText(std::string& content)
{
    struct stat info;
    if (stat(kScript, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FILE* file = std::fopen(kScript, "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);
    return true;
}

class ShowChecker : public LoadListener {
public:
    explicit ShowChecker(FILE* out) : out_(out), names_(EffectNames()) {}

    int Run()
    {
        if (!ReadScriptText(content_) || !(script_ = std::fopen(kScript, "r"))) {
            Report(0, "cannot be read (a run stops with \"Unable to load data/demo.txt\")");
            return Summary(0);
        }
        lines_ = ScanLines(content_);
        int entries = 0;
        {
            ScopedLoadListener listening(*this);
            CheckHeader();
            CheckLoadingPicture();
            entries = CheckEntries();
        }
        // The effects go before the stream that their plug-ins were given.
        for (auto& effect : effects_)
            effect.reset();
        std::fclose(script_);
        return Summary(entries);
    }

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
        if (stream == script_)
            Report(LineOfLastRead(), "'" + line + "' is not a number (it reads as " +
                                         std::to_string(ParseInt(line)) + ")");
    }

    void ReadPastEnd(FILE* stream) override
    {
        if (stream != script_)
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
    void CheckHeader()
    {
        inHeader_ = true;
        const std::string music = ReadLine(script_);
        const int musicLine = LineOfLastRead();
        ReadInt(script_);  // start offset
        ReadInt(script_);  // entry count
        inHeader_ = false;
        if (headerCut_) {
            Report(LineOfLastRead(), "the script ends inside its header (music file, start offset, entry count)");
            return;
        }
        PcmTrack track;
        std::string error;
        if (!DecodeTrack(music, track, error))
            Report(musicLine, "music file '" + music + "' cannot be decoded: " + error);
    }

    void CheckLoadingPicture()
    {
        context_ = " (the loading picture)";
        CTextureFreeImage picture;
        picture.Load(kLoadingPicture);
        context_.clear();
    }

    // Builds every entry; returns how many there were.
    int CheckEntries()
    {
        int entries = 0;
        while (!std::feof(script_)) {
            entryBegin_ = std::ftell(script_);
            const std::string name = ReadLine(script_);
            if (name.empty() && std::feof(script_))
                break;
            ++entries;
            entryLine_ = LineOfLastRead();
            if (std::find(names_.begin(), names_.end(), name) == names_.end()) {
                ReportUnknown(name);
                if (!SkipToNextEntry())
                    break;
                continue;
            }
            if (!BuildEntry(name) && !SkipToNextEntry())
                break;
        }
        entryLine_ = 0;
        return entries;
    }

    // Reads and constructs one entry as a run does; false when it failed.
    bool BuildEntry(const std::string& name)
    {
        inEntry_ = true;
        endedInside_ = false;
        reportedThrow_.clear();
        std::unique_ptr<Effekt> effect;
        bool failed = false;
        try {
            const int start = ReadInt(script_);
            const int end = ReadInt(script_);
            effect.reset(CreateEffect(name, start, end, script_));
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
        if (!effect && !failed) {
            Report(entryLine_, "entry '" + name + "' is not built into this player");
            failed = true;
        }
        if (effect)
            effects_.push_back(std::move(effect));
        return !failed;
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
        const long position = std::ftell(script_);
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].offset < position || !StartsEntry(i))
                continue;
            std::fseek(script_, lines_[i].offset, SEEK_SET);
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

    // The number of the line that the last read on the script ended in.
    int LineOfLastRead() const
    {
        const long position = std::ftell(script_);
        const long last = std::min<long>(std::max(0L, position - 1), static_cast<long>(content_.size()));
        return 1 + static_cast<int>(std::count(content_.begin(), content_.begin() + last, '\n'));
    }

    // The entry's own line that names path, or else the entry's first line.
    int PlaceOf(const std::string& path) const
    {
        const long position = std::ftell(script_);
        for (const ScriptLine& line : lines_)
            if (line.offset >= entryBegin_ && line.offset < position && !path.empty() && line.text == path)
                return line.number;
        return entryLine_;
    }

    void Report(int line, const std::string& text)
    {
        if (line > 0)
            std::fprintf(out_, "%s:%d: %s%s\n", kScript, line, text.c_str(), context_.c_str());
        else
            std::fprintf(out_, "%s: %s%s\n", kScript, text.c_str(), context_.c_str());
        ++problems_;
    }

    int Summary(int entries)
    {
        const std::string found = problems_ == 0   ? "no problems found"
                                  : problems_ == 1 ? "1 problem found"
                                                   : std::to_string(problems_) + " problems found";
        std::fprintf(out_, "%s: %d %s checked, %s\n", kScript, entries, entries == 1 ? "entry" : "entries",
                     found.c_str());
        std::fflush(out_);
        return problems_ == 0 ? 0 : 1;
    }

    FILE* out_;
    FILE* script_ = nullptr;
    std::vector<std::string> names_;
    std::string content_;
    std::vector<ScriptLine> lines_;
    EffectList effects_;
    std::map<unsigned, std::string> programs_;
    int problems_ = 0;
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
