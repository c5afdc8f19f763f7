#pragma once
#include <string>

// Each part of the default show's assets has its own writer; every writer is
// deterministic, so the same bytes come out on every run. dataDir is the
// show's data/ folder; writers create the sub-folders they need.
void WritePictures(const std::string& dataDir);
// data/music.ogg: the show's music, 88 bars at 125 BPM.
void WriteMusic(const std::string& dataDir);
// Pictures for the texture zoomers and the shader image effects.
void WriteEffectPictures(const std::string& dataDir);
// The 3DS models: data/rubber/simple.3ds and data/misc/simple.3ds.
void WriteModels(const std::string& dataDir);
// The rubber model's environment map and its two background layers, data/rubber/.
void WriteRubberPictures(const std::string& dataDir);
// Pictures for the ring, strobe and sky scenes, the dot field, the poles and the flying figure.
void WriteScenePictures(const std::string& dataDir);
// The feedback effects' pictures in data/misc/ and data/vondo/video/, and
// data/vondo/video/Video.avi.
void WriteFeedbackAssets(const std::string& dataDir);
// Pictures for the 3D scenes: cubes, floors and shadows, the tower, the rod
// ball, the sphere scene and the greetings scene.
void Write3dScenePictures(const std::string& dataDir);
// data/layers/black.png, the curtain for the show's fades.
void WriteShowPictures(const std::string& dataDir);
// The program's icon for the desktop menu, a 256x256 PNG with alpha.
void WriteIcon(const std::string& path);
