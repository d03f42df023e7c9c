#include "vcl/Graphics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// A BMP file of the given depth whose pixel (x, y) has colour (x, y, 7).
std::vector<unsigned char> MakeBmp(int w, int h, int bpp, bool topDown = false) {
    const int stride = ((w * bpp + 31) / 32) * 4;
    std::vector<unsigned char> b(54 + static_cast<std::size_t>(stride) * h, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(topDown ? -h : h));
    b[26] = 1;
    b[28] = static_cast<unsigned char>(bpp);
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &b[54 + static_cast<std::size_t>(row) * stride + x * (bpp / 8)];
            p[0] = 7, p[1] = static_cast<unsigned char>(y), p[2] = static_cast<unsigned char>(x);
        }
    }
    return b;
}

} // namespace

TEST(Bitmap, DecodesBottomUpAndTopDownRows) {
    for (int bpp : {24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(bpp);
            TBitmap bmp;
            bmp.LoadFromBytes(MakeBmp(5, 3, bpp, topDown));
            EXPECT_EQ(bmp.Width(), 5);
            EXPECT_EQ(bmp.Height(), 3);
            EXPECT_EQ(bmp.PixelAt(4, 2), (backend::Color{4, 2, 7}));
            EXPECT_EQ(bmp.PixelAt(0, 0), (backend::Color{0, 0, 7}));
        }
}

TEST(Bitmap, RejectsWhatIsNotAnUncompressedBitmap) {
    std::vector<std::vector<unsigned char>> bad;
    bad.push_back({'B', 'M'});
    auto truncated = MakeBmp(4, 4, 24);
    truncated.resize(60);
    bad.push_back(truncated);
    auto rle = MakeBmp(4, 4, 24);
    rle[30] = 1;
    bad.push_back(rle);
    auto huge = MakeBmp(4, 4, 24);
    huge[21] = 0x7F;
    bad.push_back(huge);
    for (const auto& bytes : bad) {
        TBitmap bmp;
        EXPECT_THROW(bmp.LoadFromBytes(bytes), Exception);
    }
}

TEST(Bitmap, TransparentColourBecomesClear) {
    TBitmap bmp;
    bmp.LoadFromBytes(MakeBmp(2, 2, 24));
    const backend::Bitmap clear = bmp.WithTransparentColor({0, 1, 7});
    EXPECT_EQ(clear.rgba[2 * 4 + 3], 0) << "pixel (0,1), the third of four";
    EXPECT_EQ(clear.rgba[3], 255);
}

TEST(Accelerator, CaptionsWithAccessKeys) {
    struct Case {
        const char* caption;
        const char* shown;
        std::size_t underline;
        char key;
    } cases[] = {
        {"&Start", "Start", 0, 's'},
        {"E&xit", "Exit", 1, 'x'},
        {"Fish && Chips", "Fish & Chips", String::npos, 0},
        {"Plain", "Plain", String::npos, 0},
        {"Trailing&", "Trailing&", String::npos, 0},
    };
    for (const Case& c : cases) {
        auto [shown, underline] = vcl::StripAccelerator(c.caption);
        EXPECT_EQ(shown, c.shown) << c.caption;
        EXPECT_EQ(underline, c.underline) << c.caption;
        EXPECT_EQ(vcl::AcceleratorOf(c.caption), c.key) << c.caption;
    }
}
