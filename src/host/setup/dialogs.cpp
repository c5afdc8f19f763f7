#include "host/setup/dialogs.h"

#include "platform/debug_output.h"
#include "platform/player_module.h"

namespace {

// The module, opened on the first call; null when it cannot be, with why.
const DialogModule* Dialogs(std::string& error)
{
    static std::string failure;
    static const DialogModule* const module = [] {
        using Entry = const DialogModule* (*)();
        const auto entry = reinterpret_cast<Entry>(OpenPlayerModule(kDialogModuleFile, kDialogModuleEntry, failure));
        if (!entry)
            return static_cast<const DialogModule*>(nullptr);
        const DialogModule* dialogs = entry();
        // The tables of two builds need not agree.
        if (std::string(dialogs->version) == DEMO_VERSION)
            return dialogs;
        failure = std::string(kDialogModuleFile) + " is of version " + dialogs->version + ", the player " +
                  DEMO_VERSION;
        return static_cast<const DialogModule*>(nullptr);
    }();
    error = failure;
    return module;
}

}  // namespace

bool AskVideoSettings(VideoSettings& settings)
{
    std::string error;
    if (const DialogModule* dialogs = Dialogs(error))
        return dialogs->showVideoSetup(settings);
    DebugOutput(("No video setup dialog (" + error + "); using the settings as they are\n").c_str());
    return true;
}

void ShowErrorInBox(const std::string& message)
{
    std::string error;
    if (const DialogModule* dialogs = Dialogs(error))
        dialogs->showErrorBox(message);
    else
        DebugOutput(("No error box (" + error + ")\n").c_str());
}
