// Fuzz target: a PNG picture as the encoder reads it (MvPngImage::Load through libpng).
// A picture that loads has its pixels read and is written out again.

#include "FuzzScratchFolder.h"
#include "MvPngImage.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzScratchFolder::Write("picture.png", data, size);
    MvPngImage image;
    std::string error;
    if (!image.Load(path, &error))
        return 0;
    volatile uint32_t sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            sum = sum + image.At(x, y).alpha;
    if (image.Width() > 0 && image.Height() > 0 && !image.Save(path, &error))
        __builtin_trap(); // a picture that was read must be writable again
    return 0;
}
