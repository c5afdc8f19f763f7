#include "host/setup/setup_dialog.h"

#include <gtk/gtk.h>

#include "platform/debug_output.h"
#include "platform/gtk_start.h"

namespace {

// A right-aligned label in the left column and its control in the right one.
// The label greys out with its control, so a disabled box is easy to see.
void AddRow(GtkWidget* grid, int row, const char* label, GtkWidget* control)
{
    GtkWidget* text = gtk_label_new(label);
    gtk_label_set_xalign(GTK_LABEL(text), 1.0f);
    g_object_bind_property(control, "sensitive", text, "sensitive", G_BINDING_SYNC_CREATE);
    gtk_grid_attach(GTK_GRID(grid), text, 0, row, 1, 1);
    gtk_widget_set_halign(control, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(grid), control, 1, row, 1, 1);
}

bool IsTicked(GtkWidget* box)
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box));
}

void Tick(GtkWidget* box, bool ticked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), ticked);
}

void OnRunClicked(GtkWidget*, GtkWidget* window)
{
    gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_OK);
}

void OnCancelClicked(GtkWidget*, GtkWidget* window)
{
    gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_CANCEL);
}

void FlushEvents()
{
    while (gtk_events_pending())
        gtk_main_iteration();
}

}  // namespace

VideoSetupDialog::VideoSetupDialog(VideoSettings& settings, const std::vector<DisplayMode>& modes)
    : settings_(settings), table_(BuildModeTable(modes, settings.bitsPerPixel))
{
    window_ = gtk_dialog_new();
    g_object_ref(window_);
    gtk_window_set_title(GTK_WINDOW(window_), "Video setup");
    gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);

    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(window_));
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    gtk_box_set_spacing(GTK_BOX(content), 8);

    GtkWidget* title = gtk_label_new("G L I M R A V E N");
    gtk_label_set_justify(GTK_LABEL(title), GTK_JUSTIFY_CENTER);
    gtk_box_pack_start(GTK_BOX(content), title, FALSE, FALSE, 0);

    resolution_ = gtk_combo_box_text_new();
    for (const ModeSize& size : table_)
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(resolution_), ModeLabel(size).c_str());
    fullscreen_ = gtk_check_button_new();
    alwaysOnTop_ = gtk_check_button_new();
    verticalSync_ = gtk_check_button_new();
    multisampling_ = gtk_check_button_new();

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 4);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 10);
    gtk_widget_set_halign(grid, GTK_ALIGN_CENTER);
    AddRow(grid, 0, "Resolution:", resolution_);
    AddRow(grid, 1, "Fullscreen:", fullscreen_);
    AddRow(grid, 2, "Always on top:", alwaysOnTop_);
    AddRow(grid, 3, "Vertical sync:", verticalSync_);
    AddRow(grid, 4, "Multisampling:", multisampling_);
    gtk_box_pack_start(GTK_BOX(content), grid, FALSE, FALSE, 0);

    // "Run" at the left edge, "Cancel" at the right.
    run_ = gtk_button_new_with_label("Run");
    cancel_ = gtk_button_new_with_label("Cancel");
    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_pack_start(GTK_BOX(buttons), run_, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(buttons), cancel_, FALSE, FALSE, 0);
    gtk_widget_set_size_request(run_, 80, -1);
    gtk_widget_set_size_request(cancel_, 80, -1);
    gtk_box_pack_start(GTK_BOX(content), buttons, FALSE, FALSE, 4);

    // The whole list is shown; of equal sizes the last one is picked.
    gtk_combo_box_set_active(GTK_COMBO_BOX(resolution_), LastRowOfSize(table_, settings.width, settings.height));
    if (settings.windowed == 0) {
        Tick(fullscreen_, true);
        gtk_widget_set_sensitive(alwaysOnTop_, FALSE);
    }
    // "Always on top" starts unticked whatever the settings say.
    Tick(verticalSync_, settings.verticalSync != 0);
    Tick(multisampling_, settings.multisampling != 0);

    g_signal_connect(fullscreen_, "toggled", G_CALLBACK(OnFullscreenToggled), this);
    g_signal_connect(run_, "clicked", G_CALLBACK(OnRunClicked), window_);
    g_signal_connect(cancel_, "clicked", G_CALLBACK(OnCancelClicked), window_);
    g_signal_connect(window_, "response", G_CALLBACK(OnResponse), this);

    gtk_widget_show_all(content);
    // "Run" is the default button and has the focus, so Enter starts the show.
    gtk_widget_set_can_default(run_, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_), run_);
    gtk_widget_grab_focus(run_);
}

VideoSetupDialog::~VideoSetupDialog()
{
    gtk_widget_destroy(window_);
    g_object_unref(window_);
    FlushEvents();
}

void VideoSetupDialog::OnFullscreenToggled(GtkWidget* box, VideoSetupDialog* dialog)
{
    if (IsTicked(box)) {
        Tick(dialog->alwaysOnTop_, false);
        gtk_widget_set_sensitive(dialog->alwaysOnTop_, FALSE);
    } else {
        gtk_widget_set_sensitive(dialog->alwaysOnTop_, TRUE);
    }
}

void VideoSetupDialog::OnResponse(GtkWidget*, int response, VideoSetupDialog* dialog)
{
    if (response == GTK_RESPONSE_OK && !dialog->accepted_) {
        dialog->WriteBack();
        dialog->accepted_ = true;
    }
}

void VideoSetupDialog::WriteBack()
{
    // With no row chosen (an empty list, or no row of the current size) the
    // size stays what it was.
    const int row = gtk_combo_box_get_active(GTK_COMBO_BOX(resolution_));
    if (row >= 0 && static_cast<size_t>(row) < table_.size()) {
        settings_.width = table_[row].width;
        settings_.height = table_[row].height;
    }
    settings_.windowed = IsTicked(fullscreen_) ? 0 : 1;
    settings_.alwaysOnTop = IsTicked(alwaysOnTop_) ? 1 : 0;
    settings_.verticalSync = IsTicked(verticalSync_) ? 1 : 0;
    settings_.multisampling = IsTicked(multisampling_) ? 1 : 0;
}

bool VideoSetupDialog::RunModal()
{
    gtk_dialog_run(GTK_DIALOG(window_));
    gtk_widget_hide(window_);
    FlushEvents();
    return accepted_;
}

bool ShowVideoSetup(VideoSettings& settings)
{
    if (!StartGtk()) {
        DebugOutput("No display for the video setup dialog; using the settings as they are\n");
        return true;
    }
    VideoSetupDialog dialog(settings, ListDisplayModes());
    return dialog.RunModal();
}
