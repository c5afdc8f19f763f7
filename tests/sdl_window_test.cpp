// The SDL window backend: key flags, the close box and a window that cannot open.
#include "platform/window.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/demo_error.h"
#include "platform/load_listener.h"
#include "render/screen.h"
#include "show/loading_screen.h"
#include "support/gl_fixture.h"
#include "support/work_dir.h"

namespace {

void Push(Uint8 type, SDLKey key = SDLK_UNKNOWN)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
        event.key.type = type;
        event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
        event.key.keysym.sym = key;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

TEST(SdlWindow, KeysActOnReleaseForOneFrame)
{
    const std::unique_ptr<Window> opened = OpenSdlWindow(64, 48, 32, false);
    Window& window = *opened;
    window.FramePump();  // whatever the window manager sent at the start

    Push(SDL_KEYDOWN, SDLK_RIGHT);
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_FALSE(window.Keys().right) << "held down, not yet released";
    EXPECT_FALSE(window.Keys().escape);

    // Three releases before one pump are still one flag.
    for (int i = 0; i < 3; ++i)
        Push(SDL_KEYUP, SDLK_RIGHT);
    Push(SDL_KEYUP, SDLK_LEFT);
    Push(SDL_KEYUP, SDLK_SPACE);
    Push(SDL_KEYUP, SDLK_a);
    window.FramePump();
    EXPECT_TRUE(window.Keys().right);
    EXPECT_TRUE(window.Keys().left);
    EXPECT_TRUE(window.Keys().space);
    EXPECT_FALSE(window.Keys().escape);

    Push(SDL_KEYUP, SDLK_ESCAPE);
    window.FramePump();
    EXPECT_TRUE(window.Keys().escape);
    EXPECT_FALSE(window.Keys().right) << "the next pump clears the flags";
    EXPECT_FALSE(window.Keys().left);
    EXPECT_FALSE(window.Keys().space);
}

TEST(SdlWindow, ASharedContextFillsTexturesOnAnotherThread)
{
    const std::unique_ptr<Window> window = OpenSdlWindow(64, 48, 32, false);
    std::unique_ptr<SharedContext> shared = window->ShareContext();
    ASSERT_NE(shared, nullptr);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    const std::vector<unsigned char> texels = {200, 40, 90, 255, 10, 220, 30, 255};
    bool current = false;
    std::thread([&] {
        current = shared->MakeCurrent();
        if (!current)
            return;
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glFinish();
        shared->Release();
    }).join();
    ASSERT_TRUE(current);

    // The window's context is still this thread's and sees the texels.
    std::vector<unsigned char> read(8);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(read, texels);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255);
    glDeleteTextures(1, &texture);
    shared.reset();
    window->FramePump();
}

// The SDL window, keeping each frame it is asked to show, from whichever
// thread shows it; lent to the loading display only when `lends`.
class RecordingWindow : public Window {
public:
    RecordingWindow(Window& window, bool lends) : window_(window), lends_(lends) {}
    void FramePump() override
    {
        Record();
        window_.FramePump();
    }
    void PollEvents() override { window_.PollEvents(); }
    const WindowKeys& Keys() const override { return window_.Keys(); }
    uint32_t TicksMs() const override { return window_.TicksMs(); }
    unsigned ReadBuffer() const override { return window_.ReadBuffer(); }
    std::unique_ptr<WindowLoan> LendWindow() override;

    void Record()
    {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        std::vector<unsigned char> frame(static_cast<size_t>(viewport[2]) * viewport[3] * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        shown.push_back(std::move(frame));
    }

    std::vector<std::vector<unsigned char>> shown;

private:
    Window& window_;
    bool lends_;
};

class RecordingLoan : public WindowLoan {
public:
    RecordingLoan(std::unique_ptr<WindowLoan> loan, RecordingWindow& window) : loan_(std::move(loan)), window_(window)
    {
    }
    bool MakeCurrent() override { return loan_->MakeCurrent(); }
    void Show() override
    {
        window_.Record();
        loan_->Show();
    }
    void Release() override { loan_->Release(); }

private:
    std::unique_ptr<WindowLoan> loan_;
    RecordingWindow& window_;
};

std::unique_ptr<WindowLoan> RecordingWindow::LendWindow()
{
    std::unique_ptr<WindowLoan> loan = lends_ ? window_.LendWindow() : nullptr;
    return loan ? std::make_unique<RecordingLoan>(std::move(loan), *this) : nullptr;
}

// Hears what loading the loading picture tells the load listener.
struct HeardFiles : LoadListener {
    void FileUsed(const std::string& path) override { heard.push_back("used " + path); }
    void Problem(const std::string& path, const std::string& text) override { heard.push_back(path + ": " + text); }
    std::vector<std::string> heard;
};

// Three loading steps shown by the GL thread and by the display's own thread,
// in the current folder, with what each told the load listener.
struct BothWays {
    RecordingWindow kept, lent;
    HeardFiles keptHeard, lentHeard;

    explicit BothWays(Window& window) : kept(window, false), lent(window, true)
    {
        for (RecordingWindow* shown : {&kept, &lent}) {
            ScopedLoadListener listening(shown == &kept ? keptHeard : lentHeard);
            LoadingScreen loading(*shown, 3);
            for (int i = 0; i < 3; ++i)
                loading.ShowProgress();
            loading.Present();
            EXPECT_EQ(shown->shown.size(), 3u) << "all shown by Present";
        }
    }
};

TEST(SdlWindow, TheLoadingDisplaysOwnThreadShowsTheSameSteps)
{
    const int width = 96, height = 72;
    const std::unique_ptr<Window> window = OpenSdlWindow(width, height, 32, false);
    ASSERT_NE(window->LendWindow(), nullptr) << "the window cannot be lent here";
    ScreenWidth = width;
    ScreenHeight = height;
    ResetPerspective();
    glEnable(GL_TEXTURE_2D);
    std::array<GLfloat, 16> projection{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(SourcePath(".").c_str()), 0);  // the loading picture
    const BothWays read(*window);
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_EQ(read.kept.shown.size(), 3u);
    EXPECT_NE(read.kept.shown[0], read.kept.shown[1]);
    EXPECT_NE(read.kept.shown[1], read.kept.shown[2]);
    EXPECT_EQ(read.lent.shown, read.kept.shown);
    const std::vector<std::string> used = {"used data/overlay/loader.jpg"};
    EXPECT_EQ(read.keptHeard.heard, used);
    EXPECT_EQ(read.lentHeard.heard, used);

    // Without the picture both show the same untextured steps and report it
    // once, from the GL thread.
    {
        const TempWorkDir empty;
        const BothWays missing(*window);
        EXPECT_EQ(missing.lent.shown, missing.kept.shown);
        EXPECT_NE(missing.kept.shown, read.kept.shown);
        const std::vector<std::string> reported = {
            "used data/overlay/loader.jpg",
            "data/overlay/loader.jpg: picture 'data/overlay/loader.jpg' cannot be read"};
        EXPECT_EQ(missing.keptHeard.heard, reported);
        EXPECT_EQ(missing.lentHeard.heard, reported);
    }

    // The window is back with the GL thread, in the state it was lent in.
    std::array<GLfloat, 16> after{};
    glGetFloatv(GL_PROJECTION_MATRIX, after.data());
    EXPECT_EQ(after, projection);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    glClearColor(0, 0, 0, 0);
}

TEST(SdlWindow, CloseBoxEndsTheRun)
{
    const std::unique_ptr<Window> window = OpenSdlWindow(64, 48, 32, false);
    Push(SDL_QUIT);
    try {
        window->FramePump();
        FAIL() << "no error";
    } catch (const WindowClosed& e) {
        // Its own type, so that the run can tell it from a failure; the
        // message is still the one the viewer reads.
        EXPECT_STREQ(e.what(), "You quit?");
    }
}

TEST(SdlWindow, WindowThatCannotOpenLeavesSdlShutDown)
{
    // SDL's dummy video driver has no OpenGL.
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string message;
    try {
        OpenSdlWindow(64, 48, 32, false);
    } catch (const DemoError& e) {
        message = e.what();
    }
    if (previous)
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;
    EXPECT_EQ(message.back(), '\n');
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

}  // namespace
