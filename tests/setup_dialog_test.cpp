#include "host/setup/setup_dialog.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/gtk_start.h"

namespace {

class SetupDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // A viewer's own locale, which GTK would otherwise make the program's.
        setenv("LC_ALL", "C.UTF-8", 1);
        gtkReady_ = StartGtk();
    }
    void SetUp() override
    {
        if (!gtkReady_)
            GTEST_SKIP() << "no X display for GTK";
    }

    static bool gtkReady_;
};

bool SetupDialogTest::gtkReady_ = false;

// 1024 x 768 twice in a row (two refresh rates), a 16-bit mode, 1280 x 1024.
const std::vector<DisplayMode> kModes = {
    {800, 600, 32}, {1024, 768, 32}, {1024, 768, 32}, {1024, 768, 16}, {1280, 1024, 32}};

bool Ticked(GtkWidget* box)
{
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box));
}

void Tick(GtkWidget* box, bool ticked)
{
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(box), ticked);
}

bool Enabled(GtkWidget* widget)
{
    return gtk_widget_get_sensitive(widget);
}

std::string ItemText(GtkWidget* combo, int row)
{
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
    GtkTreeIter iter;
    if (!gtk_tree_model_iter_nth_child(model, &iter, nullptr, row))
        return "";
    gchar* text = nullptr;
    gtk_tree_model_get(model, &iter, 0, &text, -1);
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

int ItemCount(GtkWidget* combo)
{
    return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)), nullptr);
}

bool SameSettings(const VideoSettings& a, const VideoSettings& b)
{
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.windowed == b.windowed && a.verticalSync == b.verticalSync && a.multisampling == b.multisampling &&
           a.alwaysOnTop == b.alwaysOnTop;
}

}  // namespace

TEST_F(SetupDialogTest, OpensWithTheDefaults)
{
    VideoSettings settings;
    VideoSetupDialog dialog(settings, kModes);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog.Window())), "Video setup");
    ASSERT_EQ(ItemCount(dialog.Resolution()), 3);
    EXPECT_EQ(ItemText(dialog.Resolution(), 0), "800 * 600");
    EXPECT_EQ(ItemText(dialog.Resolution(), 1), "1024 * 768");
    EXPECT_EQ(ItemText(dialog.Resolution(), 2), "1280 * 1024");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(dialog.Resolution())), 1);
    EXPECT_TRUE(Ticked(dialog.Fullscreen()));
    EXPECT_FALSE(Ticked(dialog.AlwaysOnTop()));
    EXPECT_FALSE(Enabled(dialog.AlwaysOnTop()));
    EXPECT_TRUE(Ticked(dialog.VerticalSync()));
    EXPECT_FALSE(Ticked(dialog.Multisampling()));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(dialog.RunButton())), "Run");
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(dialog.CancelButton())), "Cancel");
    EXPECT_TRUE(gtk_widget_has_default(dialog.RunButton()));
    EXPECT_FALSE(dialog.Accepted());
}

TEST_F(SetupDialogTest, KeepsTheCLocaleForNumbers)
{
    // Plug-ins read their numbers with the C library after the dialog was up.
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
}

TEST_F(SetupDialogTest, OpensFromOtherSettings)
{
    VideoSettings settings;
    settings.width = 1280;
    settings.height = 1024;
    settings.windowed = 1;
    settings.verticalSync = 0;
    settings.multisampling = 1;
    settings.alwaysOnTop = 1;
    VideoSetupDialog dialog(settings, kModes);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(dialog.Resolution())), 2);
    EXPECT_FALSE(Ticked(dialog.Fullscreen()));
    EXPECT_TRUE(Enabled(dialog.AlwaysOnTop()));
    EXPECT_FALSE(Ticked(dialog.AlwaysOnTop())) << "always starts unticked";
    EXPECT_FALSE(Ticked(dialog.VerticalSync()));
    EXPECT_TRUE(Ticked(dialog.Multisampling()));
}

TEST_F(SetupDialogTest, FullscreenSwitchesAlwaysOnTop)
{
    VideoSettings settings;
    VideoSetupDialog dialog(settings, kModes);
    Tick(dialog.Fullscreen(), false);
    EXPECT_TRUE(Enabled(dialog.AlwaysOnTop()));
    EXPECT_FALSE(Ticked(dialog.AlwaysOnTop())) << "enabled, not ticked";
    Tick(dialog.AlwaysOnTop(), true);
    Tick(dialog.Fullscreen(), true);
    EXPECT_FALSE(Enabled(dialog.AlwaysOnTop()));
    EXPECT_FALSE(Ticked(dialog.AlwaysOnTop()));
    Tick(dialog.Fullscreen(), false);
    EXPECT_TRUE(Enabled(dialog.AlwaysOnTop()));
    EXPECT_FALSE(Ticked(dialog.AlwaysOnTop()));
}

TEST_F(SetupDialogTest, RunWritesTheChoices)
{
    VideoSettings settings;
    VideoSetupDialog dialog(settings, kModes);
    gtk_combo_box_set_active(GTK_COMBO_BOX(dialog.Resolution()), 2);
    Tick(dialog.Fullscreen(), false);
    Tick(dialog.AlwaysOnTop(), true);
    Tick(dialog.VerticalSync(), false);
    Tick(dialog.Multisampling(), true);
    gtk_button_clicked(GTK_BUTTON(dialog.RunButton()));
    EXPECT_TRUE(dialog.Accepted());
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 1024);
    EXPECT_EQ(settings.bitsPerPixel, 32);
    EXPECT_EQ(settings.windowed, 1);
    EXPECT_EQ(settings.alwaysOnTop, 1);
    EXPECT_EQ(settings.verticalSync, 0);
    EXPECT_EQ(settings.multisampling, 1);
}

TEST_F(SetupDialogTest, CancelLeavesTheSettings)
{
    VideoSettings settings;
    const VideoSettings before = settings;
    VideoSetupDialog dialog(settings, kModes);
    gtk_combo_box_set_active(GTK_COMBO_BOX(dialog.Resolution()), 0);
    Tick(dialog.Fullscreen(), false);
    Tick(dialog.Multisampling(), true);
    gtk_button_clicked(GTK_BUTTON(dialog.CancelButton()));
    EXPECT_FALSE(dialog.Accepted());
    EXPECT_TRUE(SameSettings(settings, before));
}

TEST_F(SetupDialogTest, RunWithoutAResolutionKeepsTheSize)
{
    VideoSettings settings;
    settings.width = 640;
    settings.height = 480;
    {
        VideoSetupDialog dialog(settings, kModes);  // 640 x 480 is not offered
        EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(dialog.Resolution())), -1);
        gtk_button_clicked(GTK_BUTTON(dialog.RunButton()));
    }
    EXPECT_EQ(settings.width, 640);
    EXPECT_EQ(settings.height, 480);

    VideoSettings defaults;
    VideoSetupDialog empty(defaults, {});
    EXPECT_EQ(ItemCount(empty.Resolution()), 0);
    gtk_button_clicked(GTK_BUTTON(empty.RunButton()));
    EXPECT_TRUE(empty.Accepted());
    EXPECT_EQ(defaults.width, 1024);
    EXPECT_EQ(defaults.height, 768);
}

TEST_F(SetupDialogTest, LastRowOfTheSizeIsSelected)
{
    VideoSettings settings;
    VideoSetupDialog dialog(settings, {{1024, 768, 32}, {800, 600, 32}, {1024, 768, 32}});
    EXPECT_EQ(ItemCount(dialog.Resolution()), 3);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(dialog.Resolution())), 2);
}

// The modal run, ended from inside its own loop as a viewer would end it.
namespace {

gboolean ClickRun(gpointer dialog)
{
    gtk_button_clicked(GTK_BUTTON(static_cast<VideoSetupDialog*>(dialog)->RunButton()));
    return G_SOURCE_REMOVE;
}

gboolean PressEscape(gpointer dialog)
{
    // Escape is bound to the dialog's "close" action.
    g_signal_emit_by_name(static_cast<VideoSetupDialog*>(dialog)->Window(), "close");
    return G_SOURCE_REMOVE;
}

gboolean CloseBox(gpointer dialog)
{
    gtk_window_close(GTK_WINDOW(static_cast<VideoSetupDialog*>(dialog)->Window()));
    return G_SOURCE_REMOVE;
}

gboolean ClickCancel(gpointer dialog)
{
    gtk_button_clicked(GTK_BUTTON(static_cast<VideoSetupDialog*>(dialog)->CancelButton()));
    return G_SOURCE_REMOVE;
}

}  // namespace

TEST_F(SetupDialogTest, ModalRunEndsWithRunOrCancel)
{
    struct Case {
        GSourceFunc action;
        bool accepted;
        const char* what;
    };
    const Case cases[] = {
        {ClickRun, true, "Run"},
        {ClickCancel, false, "Cancel"},
        {PressEscape, false, "Escape"},
        {CloseBox, false, "close box"},
    };
    for (const Case& c : cases) {
        VideoSettings settings;
        VideoSetupDialog dialog(settings, kModes);
        Tick(dialog.Multisampling(), true);
        g_timeout_add(50, c.action, &dialog);
        EXPECT_EQ(dialog.RunModal(), c.accepted) << c.what;
        EXPECT_FALSE(gtk_widget_get_visible(dialog.Window())) << c.what;
        EXPECT_EQ(settings.multisampling, c.accepted ? 1 : 0) << c.what;
        // "Always on top" was greyed and unticked, so Run writes it off.
        EXPECT_EQ(settings.alwaysOnTop, c.accepted ? 0 : 1) << c.what;
    }
}

TEST_F(SetupDialogTest, DisplayModesOfTheServer)
{
    // Whatever the X server offers, the current screen size is among its modes.
    const std::vector<DisplayMode> modes = ListDisplayModes();
    ASSERT_FALSE(modes.empty());
    GdkWindow* root = gdk_get_default_root_window();
    bool found = false;
    for (const DisplayMode& mode : modes) {
        EXPECT_GT(mode.width, 0);
        EXPECT_GT(mode.height, 0);
        found = found || (mode.width == gdk_window_get_width(root) && mode.height == gdk_window_get_height(root));
    }
    EXPECT_TRUE(found);
}
