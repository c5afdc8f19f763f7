#include "support/golden.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "support/gl_fixture.h"
#include "support/image_files.h"

namespace {

// A pixel differs when one of its channels is off by more than kChannelSlack
// levels of 255; a frame strip fails when more than kPixelSlack pixels differ.
// Mesa's software renderer gives the same bytes run after run, so the slack
// only absorbs rounding at the edges of a triangle; a 10 % colour change or a
// one-pixel shift of an edge changes far more pixels than that.
constexpr int kChannelSlack = 4;
constexpr int kPixelSlack = 3;

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string end(tail);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void Write(const std::string& path, const Picture& picture)
{
    WriteImage(path, picture.width, picture.height, picture.rgba);
}

// Differing pixels in red over a darkened grey copy of the reference.
Picture Difference(const Picture& frame, const Picture& reference, int& differing)
{
    Picture diff = reference;
    differing = 0;
    for (size_t i = 0; i < diff.rgba.size(); i += 4) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(frame.rgba[i + c] - reference.rgba[i + c]));
        const int grey = (reference.rgba[i] + reference.rgba[i + 1] + reference.rgba[i + 2]) / 9;
        const bool off = worst > kChannelSlack;
        differing += off;
        diff.rgba[i] = static_cast<unsigned char>(off ? 255 : grey);
        diff.rgba[i + 1] = diff.rgba[i + 2] = static_cast<unsigned char>(off ? 0 : grey);
        diff.rgba[i + 3] = 255;
    }
    return diff;
}

void MirrorData(const std::string& from, const std::string& to)
{
    mkdir(to.c_str(), 0755);
    DIR* dir = opendir(from.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string source = from + "/" + name, target = to + "/" + name;
        struct stat info {};
        stat(source.c_str(), &info);
        int width = 0, height = 0;
        if (S_ISDIR(info.st_mode))
            MirrorData(source, target);
        else if ((EndsWith(name, ".png") || EndsWith(name, ".jpg")) && !ReadImage(source, width, height).empty())
            Write(target, TestPattern(width, height));
        else
            EXPECT_EQ(symlink(source.c_str(), target.c_str()), 0) << target;
    }
    if (dir)
        closedir(dir);
}

}  // namespace

Picture ReadWindow()
{
    Picture picture{GlTest::kWidth, GlTest::kHeight, {}};
    std::vector<unsigned char> bottomUp(static_cast<size_t>(picture.width) * picture.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = static_cast<size_t>(picture.width) * 4;
    for (int y = picture.height - 1; y >= 0; --y)
        picture.rgba.insert(picture.rgba.end(), bottomUp.begin() + y * row, bottomUp.begin() + (y + 1) * row);
    for (size_t i = 3; i < picture.rgba.size(); i += 4)
        picture.rgba[i] = 255;  // the window's alpha is never shown
    return picture;
}

void AppendRight(Picture& strip, const Picture& frame)
{
    if (strip.rgba.empty()) {
        strip = frame;
        return;
    }
    Picture joined{strip.width + frame.width, strip.height, {}};
    for (int y = 0; y < strip.height; ++y) {
        const auto left = strip.rgba.begin() + static_cast<size_t>(y) * strip.width * 4;
        const auto right = frame.rgba.begin() + static_cast<size_t>(y) * frame.width * 4;
        joined.rgba.insert(joined.rgba.end(), left, left + strip.width * 4);
        joined.rgba.insert(joined.rgba.end(), right, right + frame.width * 4);
    }
    strip = std::move(joined);
}

std::string CompareWithGolden(const std::string& name, const Picture& strip, const std::string& failureDir)
{
    const std::string referencePath = SourcePath("tests/golden/" + name + ".png");
    const char* update = std::getenv("GOLDEN_UPDATE");
    if (update && std::string(update) == "1") {
        Write(referencePath, strip);
        return "";
    }
    Picture reference;
    reference.rgba = ReadImage(referencePath, reference.width, reference.height);
    int differing = strip.width * strip.height;
    Picture diff;
    if (reference.width == strip.width && reference.height == strip.height)
        diff = Difference(strip, reference, differing);
    if (differing <= kPixelSlack)
        return "";
    mkdir(failureDir.c_str(), 0755);
    const std::string base = failureDir + "/" + name;
    Write(base + ".frame.png", strip);
    if (!diff.rgba.empty())
        Write(base + ".diff.png", diff);
    std::ostringstream text;
    text << name << ": " << differing << " pixels differ by more than " << kChannelSlack << " levels (at most "
         << kPixelSlack << " may)\n  frame:     " << base << ".frame.png\n  reference: " << referencePath;
    if (!diff.rgba.empty())
        text << "\n  difference (red): " << base << ".diff.png";
    text << "\n  (tools/golden.sh --update remakes the references on purpose)";
    return text.str();
}

Picture TestPattern(int width, int height)
{
    Picture picture{width, height, {}};
    const int mark = std::max(2, std::min(width, height) / 6);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool left = x < mark, right = x >= width - mark, top = y < mark, bottom = y >= height - mark;
            int r = 255 * x / std::max(1, width - 1), g = 255 * y / std::max(1, height - 1);
            int b = ((x * 8 / width + y * 8 / height) & 1) ? 220 : 30;
            if (top && left)
                r = g = b = 255;  // white
            else if (top && right)
                r = 255, g = 255, b = 0;  // yellow
            else if (bottom && left)
                r = 0, g = 255, b = 255;  // cyan
            else if (bottom && right && x - (width - mark) < y - (height - mark))
                r = 255, g = 0, b = 255;  // a magenta triangle
            const int a = 80 + 175 * (x + y) / std::max(1, width + height - 2);
            picture.rgba.insert(picture.rgba.end(), {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                                     static_cast<unsigned char>(b), static_cast<unsigned char>(a)});
        }
    return picture;
}

std::string MakePatternedShowFolder()
{
    const std::string folder = MakeTempDir();
    MirrorData(SourcePath("data"), folder + "/data");
    return folder;
}
