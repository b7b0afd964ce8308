#include "MvBlitRun.h"
#include "MvBlitterSets.h"

namespace {

// A 24-bit target pixel: three bytes, each channel in the byte its shift names.
struct Pixel24 {
    static const int kBytes = 3;

    explicit Pixel24(const MvPaintTarget& t) : redByte(t.redByte), greenByte(t.greenByte), blueByte(t.blueByte) {}

    MvRgb Read(const uint8_t* address) const { return {address[redByte], address[greenByte], address[blueByte]}; }

    void Write(uint8_t* address, const MvRgb& c, uint32_t /*alpha*/) const
    {
        address[redByte] = static_cast<uint8_t>(c.red);
        address[greenByte] = static_cast<uint8_t>(c.green);
        address[blueByte] = static_cast<uint8_t>(c.blue);
    }

    uint32_t redByte, greenByte, blueByte;
};

} // namespace

constexpr MvBlitterSet MvBlitters24 = {
    MvBlitterFamilyTable<Pixel24>(),
    {"24_Simple_NoAlpha", "24_Color_NoAlpha", "24_Alpha_NoAlpha", "24_Full_NoAlpha", "24_Simple_Alpha",
     "24_Color_Alpha", "24_Alpha_Alpha", "24_Full_Alpha"},
};
