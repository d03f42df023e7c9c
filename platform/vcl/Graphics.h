// Colours, fonts, pictures and the canvas controls paint on.
//
// TColor keeps the component library's encoding: 0x00BBGGRR for an RGB colour, or a
// system colour (clBtnFace, clWindowText ...) with the top bit set, resolved by ToRgb().
// Pictures are 24- or 32-bit BMP files and ICO files, decoded to backend::Bitmap.
#pragma once

#include "backend/Backend.h"
#include "vcl/Classes.h"
#include "vcl/TypInfo.h"

#include <cstdint>
#include <functional>
#include <span>

using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010);
constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);
constexpr TColor clMenu = static_cast<TColor>(0x80000004);
constexpr TColor clMenuText = static_cast<TColor>(0x80000007);
constexpr TColor clNone = 0x1FFFFFFF;

namespace vcl {
backend::Color ToRgb(TColor color);
// A colour from a description: an identifier such as clBtnFace, or a number ($00BBGGRR).
TColor ReadColor(const dfm::Value& v, LoadContext& ctx);
} // namespace vcl

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;

class TFont : public TPersistent {
public:
    String Name() const { return m_name; }
    void SetName(const String& v);
    int Height() const { return m_height; }
    void SetHeight(int v);
    int Size() const; // points at 96 pixels per inch
    void SetSize(int points);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    int Charset() const { return m_charset; }
    void SetCharset(int v);

    void Assign(const TFont& other);
    backend::FontSpec Spec() const;
    std::function<void()> OnChange;

    VCL_DECLARE_CLASS();

private:
    void Changed();
    String m_name = "MS Sans Serif";
    int m_height = -11;
    TFontStyles m_style = 0;
    TColor m_color = clWindowText;
    int m_charset = DEFAULT_CHARSET;
};

// A picture held in memory.
class TBitmap : public TPersistent {
public:
    // Decodes an uncompressed 24- or 32-bit BMP file; throws Exception when it is not one.
    void LoadFromBytes(std::span<const unsigned char> bytes);
    void LoadFromResourceName(const String& name);
    int Width() const { return m_bitmap.width; }
    int Height() const { return m_bitmap.height; }
    bool Empty() const { return m_bitmap.width == 0; }
    const backend::Bitmap& Pixels() const { return m_bitmap; }
    backend::Color PixelAt(int x, int y) const;
    // A copy in which every pixel of `key` is transparent.
    backend::Bitmap WithTransparentColor(backend::Color key) const;

    std::function<void()> OnChange;

private:
    backend::Bitmap m_bitmap;
};

class TPicture : public TPersistent {
public:
    TBitmap* Bitmap() { return &m_bitmap; }
    const TBitmap& Bitmap() const { return m_bitmap; }
    int Width() const { return m_bitmap.Width(); }
    int Height() const { return m_bitmap.Height(); }
    std::function<void()> OnChange;

    VCL_DECLARE_CLASS();

private:
    TBitmap m_bitmap;
};

// An icon file's images, largest first.
class TIcon : public TPersistent {
public:
    void LoadFromBytes(std::span<const unsigned char> bytes);
    const std::vector<backend::Bitmap>& Images() const { return m_images; }

private:
    std::vector<backend::Bitmap> m_images;
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Drawing in a control's own coordinates; translated to the window and clipped to the
// control by whoever hands it out.
class TCanvas {
public:
    TCanvas(backend::Canvas& target, backend::Point origin) : m_target(target), m_origin(origin) {}

    void FillRect(const backend::Rect& r, TColor c);
    void FrameRect(const backend::Rect& r, TColor c);
    void Line(int x1, int y1, int x2, int y2, TColor c);
    void DottedRect(const backend::Rect& r, TColor c);
    void Draw(const backend::Bitmap& bmp, const backend::Rect& dest);
    void Draw(const backend::Bitmap& bmp, const backend::Rect& source, const backend::Rect& dest);
    void TextOut(int x, int y, const String& text, const TFont& font);
    backend::TextMetrics TextExtent(const String& text, const TFont& font);
    // A caption with an access key ("&Start"): the '&' is hidden and the letter after it
    // underlined; "&&" shows one '&'. Placed inside `r` by alignment, vertically centred.
    void DrawCaption(const backend::Rect& r, const String& caption, const TFont& font,
                     TAlignment alignment, bool centreVertically);
    void PushClip(const backend::Rect& r);
    void PopClip();

    backend::Point Origin() const { return m_origin; }
    backend::Canvas& Target() { return m_target; }

private:
    backend::Rect ToWindow(const backend::Rect& r) const {
        return r.Offset(m_origin.x, m_origin.y);
    }
    backend::Canvas& m_target;
    backend::Point m_origin;
};

namespace vcl {
// The text shown for a caption with access keys, and the index of the underlined
// character in it (npos when there is none).
std::pair<String, std::size_t> StripAccelerator(const String& caption);
// The access key of a caption, lower case, or 0.
char AcceleratorOf(const String& caption);
} // namespace vcl
