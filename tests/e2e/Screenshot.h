#ifndef SCREENSHOT_H
#define SCREENSHOT_H

#include <cstdint>
#include <string>
#include <vector>

// A picture of what an X screen shows, as 0xRRGGBB pixels row by row, for tests that look at
// the program's output. A screen of fewer than 8 bits a channel (16-bit 5-6-5) keeps only the
// top bits of each colour, so the picture remembers how many bits each channel had and
// compares colours at that precision: a test states the colour it expects in full 8 bits
// and the same check works on every depth.
class Screenshot {
public:
    // An empty picture, 0 x 0, with 8 bits a channel.
    Screenshot() = default;
    // A width x height picture, every pixel black, keeping redBits, greenBits and blueBits
    // bits of each channel.
    Screenshot(int width, int height, int redBits = 8, int greenBits = 8, int blueBits = 8);

    int Width() const;
    int Height() const;
    // Pixel (x, y) as 0xRRGGBB; black outside the picture.
    uint32_t At(int x, int y) const;
    // Sets pixel (x, y) to rgb; ignored outside the picture.
    void Set(int x, int y, uint32_t rgb);

    // The width x height part of this picture whose top-left corner is (left, top), at the
    // same channel precision; pixels outside this picture come out black.
    Screenshot Part(int left, int top, int width, int height) const;

    // Whether two 0xRRGGBB colours are the same at this picture's channel precision.
    bool SameColor(uint32_t a, uint32_t b) const;

    // Writes the picture as an RGB PNG file. False with the reason in *error when the file
    // cannot be written.
    bool SavePng(const std::string& path, std::string* error) const;

private:
    int width_ = 0;
    int height_ = 0;
    int bits_[3] = {8, 8, 8}; // red, green, blue
    std::vector<uint32_t> pixels_;
};

inline int Screenshot::Width() const { return width_; }
inline int Screenshot::Height() const { return height_; }

#endif
