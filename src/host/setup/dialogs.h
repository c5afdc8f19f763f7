#pragma once
#include <string>

#include "host/setup/video_settings.h"

// The player's two GTK windows, the video setup dialog and the "Error" box,
// live in a module of their own (glimraven-dialogs.so: setup_dialog.cpp,
// platform/message_box.cpp, platform/gtk_start.cpp), opened the first time
// one of them is shown, so that a run that shows neither never loads GTK.

// What the module gives: its entry point kDialogModuleEntry returns a pointer
// to one of these, which lives as long as the process.
struct DialogModule {
    const char* version;  // DEMO_VERSION of the build that made it
    bool (*showVideoSetup)(VideoSettings& settings);    // ShowVideoSetup
    void (*showErrorBox)(const std::string& message);  // ShowErrorBox
};

constexpr char kDialogModuleFile[] = "glimraven-dialogs.so";
constexpr char kDialogModuleEntry[] = "DemoDialogModule";

// Asks the viewer for the video settings in the setup dialog. True to go on
// with the show, false when cancelled. Without the module (or GTK) it is as
// without a display: the settings are used as they are, and standard error
// says why.
bool AskVideoSettings(VideoSettings& settings);

// Shows the message in the "Error" box. Without the module (or GTK) nothing
// is shown but a note on standard error, where the message went already.
void ShowErrorInBox(const std::string& message);
