#include "show/loading_screen.h"

#include "platform/window.h"
#include "render/screen.h"
#include "show/show_files.h"

LoadingScreen::LoadingScreen(Window& window, int count) : window_(window), count_(count)
{
    picture_.Load(kLoadingPicturePath);
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
    Present();
    glClear(GL_COLOR_BUFFER_BIT);
    const float offset = Offset();
    glColor4f(1, 1, 1, 1);
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, picture_.texture);
    glTranslatef(0, offset, -2);
    // The picture's own colours, as white modulation would give them; the
    // software renderer draws a step about a tenth faster without the product.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    TexturedQuad quad(1, 1.2f);
    quad.Draw(1, -1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
    ++index_;
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
    if (!drawn_)
        return;
    drawn_ = false;
    window_.FramePump();
}
