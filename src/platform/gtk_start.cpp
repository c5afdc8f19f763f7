#include "platform/gtk_start.h"

#include <gtk/gtk.h>

bool StartGtk()
{
    // GTK warns when told this after it has started, so tell it only once.
    static bool localeKept = false;
    if (!localeKept) {
        gtk_disable_setlocale();
        localeKept = true;
    }
    return gtk_init_check(nullptr, nullptr);
}
