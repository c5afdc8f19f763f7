#pragma once

// The files the player reads whatever the script says, named once.
constexpr char kScriptPath[] = "data/demo.txt";
constexpr char kLoadingPicturePath[] = "data/overlay/loader.jpg";
