// A plug-in that closes the window in its first frame, as a viewer would.
#include <SDL/SDL.h>

#include <cstdio>

extern "C" void Init(FILE*, int, int) {}

extern "C" void Draw(int, float)
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
