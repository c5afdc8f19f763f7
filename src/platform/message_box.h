#pragma once
#include <string>

// Shows a modal "Error" box with the message and an OK button. Returns at once
// without showing anything when no X display can be opened.
void ShowErrorBox(const std::string& message);
