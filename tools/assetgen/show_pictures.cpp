#include "assetgen.h"
#include "canvas.h"

// Pictures that only the show's script uses: an opaque black curtain, which
// the image layer fades in and out for the show's fade from and to black.
void WriteShowPictures(const std::string& dataDir)
{
    Canvas(16, 16, Rgba{0, 0, 0, 1}).Save(dataDir + "/layers/black.png");
}
