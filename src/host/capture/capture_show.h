#pragma once
#include <string>

#include "host/setup/options.h"
#include "show/show.h"

class FrameProfile;
class MusicStream;
class Window;

// Refuses a capture that could not be written, before anything is drawn: a
// name not ending in .mp4 or .mkv, a file that exists (unless --force), a size
// the encoder cannot take. Throws the reason.
void CheckCaptureTarget(const PlayerOptions& options);

// Refuses a capture larger than the X display, whose window could not show
// it whole. Offscreen, the context's own limits apply instead.
void CheckCaptureFitsDisplay(const PlayerOptions& options);

// Draws the frames of the capture exactly as --render would, at the capture's
// frame rate, and writes them with the music of the same range into
// options.captureFile. music is the show's music file, opened already where
// it could be (it is opened here otherwise); it is never played. The file is finished on every way out: the end of the
// range or of the show (exit code 0), Ctrl-C or SIGTERM (130 or 143),
// or an error, which is thrown on after the frames so far are saved. With a
// profile each frame's entries are timed.
int CaptureShow(const Show& show, Window& window, MusicStream& music, const PlayerOptions& options,
                FrameProfile* profile = nullptr);
