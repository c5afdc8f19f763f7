#pragma once

// The files the player reads whatever the script says, named once.
// Every file of a show lies in its data folder.
constexpr char kShowDataFolder[] = "data";
constexpr char kScriptPath[] = "data/demo.txt";
constexpr char kLoadingPicturePath[] = "data/overlay/loader.jpg";
