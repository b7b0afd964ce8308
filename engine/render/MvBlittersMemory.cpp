#include "MvBlitRun.h"
#include "MvBlitterSets.h"

namespace {

// A memory pixel, an MvColor: channels in their own bytes (blue 0, green 1, red 2) and an
// alpha byte that records the opacity painted, so a later draw of the memory sees it.
struct PixelMemory {
    static const int kBytes = 4;

    explicit PixelMemory(const MvPaintTarget& /*target*/) {}

    MvRgb Read(const uint8_t* address) const { return {address[2], address[1], address[0]}; }

    void Write(uint8_t* address, const MvRgb& c, uint32_t alpha) const
    {
        address[0] = static_cast<uint8_t>(c.blue);
        address[1] = static_cast<uint8_t>(c.green);
        address[2] = static_cast<uint8_t>(c.red);
        address[3] = static_cast<uint8_t>(alpha);
    }
};

} // namespace

constexpr MvBlitterSet MvBlittersMemory = {
    MvBlitterFamilyTable<PixelMemory>(),
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};
