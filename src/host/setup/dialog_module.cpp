// The dialog module's entry point, which the player looks up by name
// (kDialogModuleEntry); everything else in the module stays hidden.
#include "host/setup/dialogs.h"
#include "host/setup/setup_dialog.h"
#include "platform/message_box.h"

extern "C" __attribute__((visibility("default"))) const DialogModule* DemoDialogModule()
{
    static const DialogModule module{DEMO_VERSION, ShowVideoSetup, ShowErrorBox};
    return &module;
}
