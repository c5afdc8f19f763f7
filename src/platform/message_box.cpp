#include "platform/message_box.h"

#include <gtk/gtk.h>

#include "platform/gtk_start.h"

void ShowErrorBox(const std::string& message)
{
    if (!StartGtk())
        return;
    // Names from the script may hold any bytes; GTK shows only UTF-8.
    gchar* text = g_utf8_make_valid(message.c_str(), static_cast<gssize>(message.size()));
    GtkWidget* dialog =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text);
    g_free(text);
    gtk_window_set_title(GTK_WINDOW(dialog), "Error");
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
        gtk_main_iteration();
}
