#include "Image.h"
#include "Wait.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace e2e {

std::ostream& operator<<(std::ostream& os, Rgb c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return os << buf;
}

namespace {

void PutU32(std::string& out, std::uint32_t v) {
    out += char(v >> 24);
    out += char(v >> 16);
    out += char(v >> 8);
    out += char(v);
}

// length, type, data, CRC over type and data
void PutChunk(std::string& out, const char type[4], const std::string& data) {
    PutU32(out, std::uint32_t(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    PutU32(out,
           std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

} // namespace

void SavePng(const Image& image, const std::filesystem::path& path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
        throw Error("SavePng: image " + std::to_string(image.width) + "x" +
                    std::to_string(image.height) + " has " + std::to_string(image.pixels.size()) +
                    " pixels");

    // Each row starts with its filter type; 0 leaves the bytes as they are.
    std::string raw;
    raw.reserve(std::size_t(image.height) * (1 + 3 * std::size_t(image.width)));
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        for (int x = 0; x < image.width; ++x) {
            Rgb c = image.At(x, y);
            raw += char(c.r);
            raw += char(c.g);
            raw += char(c.b);
        }
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::string packed(packed_size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                  reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 6) != Z_OK)
        throw Error("SavePng: zlib compression failed");
    packed.resize(packed_size);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    PutU32(ihdr, std::uint32_t(image.width));
    PutU32(ihdr, std::uint32_t(image.height));
    ihdr += char(8); // bits per sample
    ihdr += char(2); // colour type: RGB
    ihdr += char(0); // deflate
    ihdr += char(0); // adaptive filtering
    ihdr += char(0); // no interlace
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(png.data(), std::streamsize(png.size()));
    out.close();
    if (!out) throw Error("SavePng: cannot write " + path.string());
}

} // namespace e2e
