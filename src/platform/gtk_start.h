#pragma once

// Starts GTK for the player's dialogs; true when a display could be opened.
// The C library keeps its "C" locale, so numbers in the script and in the
// plug-ins' lines read the same whether or not a dialog was shown.
bool StartGtk();
