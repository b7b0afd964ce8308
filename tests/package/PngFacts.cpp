// movo-png-facts: checks pixel facts of a PNG picture, for tests that look at what a
// program drew without linking anything of it (libpng reads the file).
//
//   movo-png-facts FILE.png WIDTH HEIGHT X,Y=RRGGBB ...
//
// Exits 0 when the picture has that size and every listed pixel has that colour, give or
// take 8 in each channel; otherwise prints every fact that does not hold and exits 1.

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool Near(unsigned a, unsigned b)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d < -8 || d > 8)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: movo-png-facts FILE.png WIDTH HEIGHT X,Y=RRGGBB ...\n");
        return 2;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[1])) {
        std::fprintf(stderr, "movo-png-facts: cannot read '%s': %s\n", argv[1], image.message);
        return 1;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        std::fprintf(stderr, "movo-png-facts: cannot read '%s': %s\n", argv[1], image.message);
        return 1;
    }
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    if (int(image.width) != width || int(image.height) != height) {
        std::fprintf(stderr, "movo-png-facts: '%s' is %u x %u, not %d x %d\n", argv[1], image.width, image.height,
                     width, height);
        return 1;
    }
    int failed = 0;
    for (int i = 4; i < argc; ++i) {
        int x = 0, y = 0;
        unsigned expected = 0;
        if (std::sscanf(argv[i], "%d,%d=%x", &x, &y, &expected) != 3 || x < 0 || y < 0 || x >= width ||
            y >= height) {
            std::fprintf(stderr, "movo-png-facts: bad fact '%s'\n", argv[i]);
            ++failed;
            continue;
        }
        const png_byte* p = &pixels[(size_t(y) * width + x) * 3];
        const unsigned actual = (unsigned(p[0]) << 16) | (unsigned(p[1]) << 8) | p[2];
        if (!Near(actual, expected)) {
            std::fprintf(stderr, "movo-png-facts: pixel (%d, %d) is %06X, not %06X\n", x, y, actual, expected);
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
