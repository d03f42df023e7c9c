// Captured pixels and their PNG encoding.
//
// Image is a width x height grid of 8-bit RGB pixels, row by row from the top left.
// SavePng writes it as a 24-bit RGB PNG (one zlib-compressed IDAT, filter type 0), which any
// viewer opens; it throws Error if the file cannot be written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <vector>

namespace e2e {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    static Rgb FromHex(std::uint32_t rrggbb) {
        return {std::uint8_t(rrggbb >> 16), std::uint8_t(rrggbb >> 8), std::uint8_t(rrggbb)};
    }
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& os, Rgb c); // "#rrggbb"

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels; // width * height

    Rgb At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    Rgb& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
};

void SavePng(const Image& image, const std::filesystem::path& path);

} // namespace e2e
