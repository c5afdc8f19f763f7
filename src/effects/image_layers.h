#pragma once
#include <cstdint>
#include <string>

#include "render/texture.h"
#include "timeline/effekt.h"

namespace Effekter {

// One picture blended by its alpha over the screen, moved by one of twelve modes.
class AlphaBlendImage : public Effekt {
public:
    enum Mode {
        UP, DOWN, LEFT, RIGHT, UPCENTER, BEATUP, BEATBACK, RANDOM,
        BEATCENTER, STATICFADEOUT, STATICFADEIN, STATIC
    };

    AlphaBlendImage(int start, int end, const char* imagePath, std::string modeText);
    void Draw(int t, float beat) override;

    Mode GetMode() const { return mode; }

private:
    uint32_t lastBeatTime = 0;
    CTextureFreeImage image;
    Mode mode = STATIC;  // an unknown mode text draws like STATIC
};

// An additive white flash fading out over the window.
class FlashWhite : public Effekt {
public:
    FlashWhite(int start, int end) : Effekt(start, end) {}
    void Draw(int t, float beat) override;
};

// Multiplies the screen by a picture: white keeps, black blacks out.
class Mask : public Effekt {
public:
    Mask(int start, int end, const char* imagePath);
    void Draw(int t, float beat) override;

private:
    CTextureFreeImage image;
};

// Ends the show in the first frame of its window by raising "End of show".
class EndDemo : public Effekt {
public:
    EndDemo(int start, int end) : Effekt(start, end) {}
    void Draw(int t, float beat) override;
};

// Occupies its window and draws nothing.
class Overlays : public Effekt {
public:
    Overlays(int start, int end) : Effekt(start, end) {}
    void Draw(int, float) override {}
};

}  // namespace Effekter
