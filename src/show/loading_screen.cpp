#include "show/loading_screen.h"

#include "platform/heap_ahead.h"
#include "platform/window.h"
#include "render/screen.h"
#include "show/show_files.h"

LoadingScreen::LoadingScreen(Window& window, int count) : window_(window), count_(count)
{
    loan_ = window_.LendWindow();
    if (!loan_) {
        picture_.Load(kLoadingPicturePath);
        return;
    }
    // The display's context shares no textures with the loading's, whose
    // uploads would hold up its steps: it fills a texture of its own.
    ReadPicture(kLoadingPicturePath, decoded_);
    display_ = std::thread(&LoadingScreen::ShowSteps, this);
}

LoadingScreen::~LoadingScreen()
{
    if (!loan_)
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    asked_.notify_one();
    display_.join();
    loan_.reset();
}

float LoadingScreen::OffsetOf(int step) const
{
    // A count of 0 or less has no sensible step; the picture stays where it starts.
    const float remaining = count_ > 0 ? 1.0f - static_cast<float>(step) / static_cast<float>(count_) : 1.0f;
    return 0.5f - remaining;
}

void LoadingScreen::ShowProgress()
{
    if (loan_) {
        window_.PollEvents();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++index_;
        }
        asked_.notify_one();
        return;
    }
    Present();
    DrawStep(index_++, picture_.texture);
    // The renderer draws the step while the next entry loads; the first one
    // shows at once.
    drawn_ = true;
    if (index_ == 1)
        Present();
    else
        glFlush();
}

void LoadingScreen::Present()
{
    if (loan_) {
        std::unique_lock<std::mutex> lock(mutex_);
        shown_.wait(lock, [this] { return shownSteps_ == index_; });
        return;
    }
    if (!drawn_)
        return;
    drawn_ = false;
    window_.FramePump();
}

void LoadingScreen::DrawStep(int step, GLuint picture)
{
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, picture);
    glTranslatef(0, OffsetOf(step), -2);
    // The picture's own colours, as white modulation would give them; the
    // software renderer draws a step about a tenth faster without the product.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    TexturedQuad quad(1, 1.2f);
    quad.Draw(1, -1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}

void LoadingScreen::ShowSteps()
{
    // A context of its own starts from GL's defaults: it takes the state the
    // host gives the loading display.
    // Made current, the context allocates and clears its own colour and
    // depth buffers for the window.
    ReadyHeapFor(static_cast<size_t>(ScreenWidth) * static_cast<size_t>(ScreenHeight) * 8);
    const bool current = loan_->MakeCurrent();
    GLuint picture = 0;
    if (current) {
        ResetPerspective();
        glEnable(GL_TEXTURE_2D);
        glGenTextures(1, &picture);
        // A picture that cannot be read leaves the texture without an image,
        // as Load does.
        if (decoded_.pixels) {
            CTextureBinder bind(picture);
            UploadPicture(decoded_);
        }
    }
    decoded_.Free();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        asked_.wait(lock, [this] { return closing_ || shownSteps_ < index_; });
        if (closing_)
            break;
        const int step = shownSteps_;
        lock.unlock();
        // Where the window cannot be drawn into, the steps pass unseen
        // rather than leave the loading waiting.
        if (current) {
            DrawStep(step, picture);
            loan_->Show();
        }
        lock.lock();
        ++shownSteps_;
        shown_.notify_all();
    }
    lock.unlock();
    if (current) {
        glDeleteTextures(1, &picture);
        glFinish();
        loan_->Release();
    }
}
