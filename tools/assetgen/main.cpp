#include <cstdio>
#include <exception>

#include "assetgen.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_DIR ICON_PNG\n", argv[0]);
        return 2;
    }
    try {
        const std::string dataDir = argv[1];
        WritePictures(dataDir);
        WriteMusic(dataDir);
        WriteEffectPictures(dataDir);
        WriteModels(dataDir);
        WriteRubberPictures(dataDir);
        WriteScenePictures(dataDir);
        WriteFeedbackAssets(dataDir);
        Write3dScenePictures(dataDir);
        WriteShowPictures(dataDir);
        WriteIcon(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
