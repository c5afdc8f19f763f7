#pragma once

// Exit codes of the player.
constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitCancelled = 255;
// A render or capture stopped by a signal exits with 128 + its number.
