#pragma once
#include <vector>

#include "host/setup/display_modes.h"
#include "host/setup/video_settings.h"

typedef struct _GtkWidget GtkWidget;

// The "Video setup" dialog: the resolution and four boxes, "Run" and "Cancel".
// It starts from the settings it is given and writes the viewer's choices back
// into them only on "Run". Needs GTK initialised.
class VideoSetupDialog {
public:
    VideoSetupDialog(VideoSettings& settings, const std::vector<DisplayMode>& modes);
    ~VideoSetupDialog();
    VideoSetupDialog(const VideoSetupDialog&) = delete;
    VideoSetupDialog& operator=(const VideoSetupDialog&) = delete;

    // Shows the dialog modally until "Run", "Cancel", Escape or the close box.
    // True after "Run".
    bool RunModal();
    // Whether "Run" has been chosen (RunModal, or a click on the button).
    bool Accepted() const { return accepted_; }

    // The widgets, for keyboard-free driving.
    GtkWidget* Window() const { return window_; }
    GtkWidget* Resolution() const { return resolution_; }
    GtkWidget* Fullscreen() const { return fullscreen_; }
    GtkWidget* AlwaysOnTop() const { return alwaysOnTop_; }
    GtkWidget* VerticalSync() const { return verticalSync_; }
    GtkWidget* Multisampling() const { return multisampling_; }
    GtkWidget* RunButton() const { return run_; }
    GtkWidget* CancelButton() const { return cancel_; }

private:
    static void OnFullscreenToggled(GtkWidget* box, VideoSetupDialog* dialog);
    static void OnResponse(GtkWidget* window, int response, VideoSetupDialog* dialog);
    void WriteBack();

    VideoSettings& settings_;
    std::vector<ModeSize> table_;
    bool accepted_ = false;
    GtkWidget* window_;
    GtkWidget* resolution_;
    GtkWidget* fullscreen_;
    GtkWidget* alwaysOnTop_;
    GtkWidget* verticalSync_;
    GtkWidget* multisampling_;
    GtkWidget* run_;
    GtkWidget* cancel_;
};

// Asks the viewer for the video settings, listing the display's modes at
// settings.bitsPerPixel. True to go on with the show, false when cancelled.
// Without a display to show it on, the settings are used as they are.
bool ShowVideoSetup(VideoSettings& settings);
