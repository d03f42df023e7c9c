#include "vcl/Graphics.h"

#include "winapi/Resources.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

namespace vcl {

backend::Color ToRgb(TColor color) {
    if (color & 0x80000000u) {
        switch (color & 0xFF) {
        case 0x04:
            return {240, 240, 240}; // menu
        case 0x05:
            return {255, 255, 255}; // window
        case 0x07:
            return {0, 0, 0}; // menu text
        case 0x08:
            return {0, 0, 0}; // window text
        case 0x0D:
            return {49, 106, 197}; // highlight
        case 0x0E:
            return {255, 255, 255}; // highlight text
        case 0x0F:
            return {236, 233, 216}; // button face
        case 0x10:
            return {172, 168, 153}; // button shadow
        case 0x14:
            return {255, 255, 255}; // button highlight
        default:
            return {0, 0, 0};
        }
    }
    return {static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
            static_cast<std::uint8_t>((color >> 16) & 0xFF)};
}

TColor ReadColor(const dfm::Value& v, LoadContext& ctx) {
    static const std::pair<const char*, TColor> names[] = {
        {"clBlack", clBlack},
        {"clWhite", clWhite},
        {"clBlue", clBlue},
        {"clNavy", clNavy},
        {"clRed", clRed},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clBtnHighlight", clBtnHighlight},
        {"clWindow", clWindow},
        {"clWindowText", clWindowText},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clMenu", clMenu},
        {"clMenuText", clMenuText},
        {"clNone", clNone},
    };
    if (v.kind == dfm::Value::Kind::Integer) return static_cast<TColor>(v.integer);
    if (v.kind == dfm::Value::Kind::Identifier) {
        for (const auto& [n, c] : names)
            if (strcasecmp(n, v.text.c_str()) == 0) return c;
        ctx.Fail(v.line, "'" + v.text + "' is not a colour");
    }
    ctx.Fail(v.line, "expected a colour");
}

std::pair<String, std::size_t> StripAccelerator(const String& caption) {
    String shown;
    std::size_t underline = String::npos;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && underline == String::npos) underline = shown.size();
        }
        shown += caption[i];
    }
    return {shown, underline};
}

char AcceleratorOf(const String& caption) {
    auto [shown, index] = StripAccelerator(caption);
    if (index == String::npos) return 0;
    const unsigned char c = static_cast<unsigned char>(shown[index]);
    return static_cast<char>(std::tolower(c));
}

} // namespace vcl

// ---- TFont ----

void TFont::Changed() {
    if (OnChange) OnChange();
}
void TFont::SetName(const String& v) {
    m_name = v, Changed();
}
void TFont::SetHeight(int v) {
    m_height = v, Changed();
}
int TFont::Size() const {
    return -m_height * 72 / 96;
}
void TFont::SetSize(int points) {
    SetHeight(-(points * 96 + 36) / 72);
}
void TFont::SetStyle(TFontStyles v) {
    m_style = v, Changed();
}
void TFont::SetColor(TColor v) {
    m_color = v, Changed();
}
void TFont::SetCharset(int v) {
    m_charset = v, Changed();
}

void TFont::Assign(const TFont& o) {
    m_name = o.m_name, m_height = o.m_height, m_style = o.m_style, m_color = o.m_color;
    m_charset = o.m_charset;
    Changed();
}

backend::FontSpec TFont::Spec() const {
    backend::FontSpec s;
    s.face = m_name;
    s.height = m_height;
    s.bold = m_style & fsBold;
    s.italic = m_style & fsItalic;
    s.underline = m_style & fsUnderline;
    s.color = vcl::ToRgb(m_color);
    s.charset = m_charset;
    return s;
}

const vcl::ClassInfo& TFont::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TFont", &TPersistent::StaticClassInfo(), {},
        {prop::Str("Name", &TFont::SetName), prop::Int("Height", &TFont::SetHeight),
         prop::Int("Size", &TFont::SetSize),
         prop::Custom<TFont>("Color", [](TFont& f, const dfm::Value& v,
                                         LoadContext& ctx) { f.SetColor(ReadColor(v, ctx)); }),
         prop::Custom<TFont>("Style",
                             [](TFont& f, const dfm::Value& v, LoadContext& ctx) {
                                 f.SetStyle(ReadSet(v, ctx,
                                                    {{"fsBold", fsBold},
                                                     {"fsItalic", fsItalic},
                                                     {"fsUnderline", fsUnderline},
                                                     {"fsStrikeOut", fsStrikeOut}}));
                             }),
         prop::Custom<TFont>("Charset", [](TFont& f, const dfm::Value& v, LoadContext& ctx) {
             if (v.kind == dfm::Value::Kind::Integer)
                 return f.SetCharset(static_cast<int>(v.integer));
             f.SetCharset(ReadEnum(
                 v, ctx, {{"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET}}));
         })});
    return info;
}

// ---- TBitmap ----

namespace {

std::uint32_t U32(std::span<const unsigned char> b, std::size_t at) {
    if (at + 4 > b.size()) throw Exception("Bitmap image is not valid");
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t U16(std::span<const unsigned char> b, std::size_t at) {
    if (at + 2 > b.size()) throw Exception("Bitmap image is not valid");
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Decodes a device-independent bitmap (header at `at`) with `pixelsAt` pointing at its
// pixel rows. `heightDivisor` is 2 for icon images, whose height counts the mask too.
backend::Bitmap DecodeDib(std::span<const unsigned char> b, std::size_t at, std::size_t pixelsAt,
                          int heightDivisor, bool withMask) {
    const std::uint32_t headerSize = U32(b, at);
    if (headerSize < 40) throw Exception("Bitmap image is not valid");
    const std::int32_t width = static_cast<std::int32_t>(U32(b, at + 4));
    std::int32_t height = static_cast<std::int32_t>(U32(b, at + 8)) / heightDivisor;
    const int bpp = U16(b, at + 14);
    const std::uint32_t compression = U32(b, at + 16);
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw Exception("Bitmap image is not valid");
    if (compression != 0 && !(compression == 3 && bpp == 32))
        throw Exception("Bitmap image is not valid: compressed bitmaps are not supported");
    if (bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw Exception("Bitmap image is not valid: unsupported colour depth");

    std::vector<backend::Color> palette;
    if (bpp <= 8) {
        std::uint32_t colours = U32(b, at + 32);
        if (colours == 0) colours = 1u << bpp;
        if (colours > 256u) throw Exception("Bitmap image is not valid");
        const std::size_t pal = at + headerSize;
        for (std::uint32_t i = 0; i < colours; ++i) {
            if (pal + i * 4 + 3 > b.size()) throw Exception("Bitmap image is not valid");
            palette.push_back({b[pal + i * 4 + 2], b[pal + i * 4 + 1], b[pal + i * 4]});
        }
        if (withMask) pixelsAt = pal + colours * 4;
    } else if (withMask) {
        pixelsAt = at + headerSize;
    }

    const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t need = pixelsAt + stride * height + (withMask ? maskStride * height : 0);
    if (need > b.size()) throw Exception("Bitmap image is not valid: truncated");

    backend::Bitmap out;
    out.width = width;
    out.height = height;
    out.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        const unsigned char* src = b.data() + pixelsAt + stride * row;
        const unsigned char* mask = b.data() + pixelsAt + stride * height + maskStride * row;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* d = &out.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            backend::Color c;
            std::uint8_t a = 255;
            if (bpp == 24) {
                c = {src[x * 3 + 2], src[x * 3 + 1], src[x * 3]};
            } else if (bpp == 32) {
                c = {src[x * 4 + 2], src[x * 4 + 1], src[x * 4]};
                if (withMask) a = src[x * 4 + 3];
            } else {
                const unsigned index = bpp == 8 ? src[x] : (src[x / 2] >> ((x % 2) ? 0 : 4)) & 0xF;
                c = index < palette.size() ? palette[index] : backend::Color{};
            }
            if (withMask && bpp != 32 && (mask[x / 8] & (0x80 >> (x % 8)))) a = 0;
            d[0] = c.r, d[1] = c.g, d[2] = c.b, d[3] = a;
        }
    }
    return out;
}

} // namespace

void TBitmap::LoadFromBytes(std::span<const unsigned char> bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        throw Exception("Bitmap image is not valid");
    const std::uint32_t offset = U32(bytes, 10);
    if (offset >= bytes.size()) throw Exception("Bitmap image is not valid");
    m_bitmap = DecodeDib(bytes, 14, offset, 1, false);
    if (OnChange) OnChange();
}

void TBitmap::LoadFromResourceName(const String& name) {
    auto data = winapi::FindResourceData(name);
    if (!data) throw EResNotFound("Resource " + name + " not found");
    LoadFromBytes(*data);
}

backend::Color TBitmap::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return {};
    const std::uint8_t* p = &m_bitmap.rgba[(static_cast<std::size_t>(y) * Width() + x) * 4];
    return {p[0], p[1], p[2]};
}

backend::Bitmap TBitmap::WithTransparentColor(backend::Color key) const {
    backend::Bitmap copy;
    copy.width = m_bitmap.width;
    copy.height = m_bitmap.height;
    copy.rgba = m_bitmap.rgba;
    for (std::size_t i = 0; i + 3 < copy.rgba.size(); i += 4)
        if (copy.rgba[i] == key.r && copy.rgba[i + 1] == key.g && copy.rgba[i + 2] == key.b)
            copy.rgba[i + 3] = 0;
    return copy;
}

const vcl::ClassInfo& TPicture::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TPicture", &TPersistent::StaticClassInfo(), {},
        {prop::Custom<TPicture>("ResourceName",
                                [](TPicture& p, const dfm::Value& v, LoadContext& ctx) {
                                    const String name = ReadString(v, ctx);
                                    try {
                                        p.Bitmap()->LoadFromResourceName(name);
                                    } catch (const Exception& e) {
                                        ctx.Fail(v.line, e.Message());
                                    }
                                    if (p.OnChange) p.OnChange();
                                }),
         prop::Custom<TPicture>("Data", [](TPicture& p, const dfm::Value& v, LoadContext& ctx) {
             if (v.kind != dfm::Value::Kind::Binary) ctx.Fail(v.line, "expected binary data");
             try {
                 p.Bitmap()->LoadFromBytes(v.binary);
             } catch (const Exception& e) {
                 ctx.Fail(v.line, e.Message());
             }
             if (p.OnChange) p.OnChange();
         })});
    return info;
}

void TIcon::LoadFromBytes(std::span<const unsigned char> b) {
    if (b.size() < 6 || U16(b, 0) != 0 || U16(b, 2) != 1)
        throw Exception("Icon image is not valid");
    const int count = U16(b, 4);
    std::vector<backend::Bitmap> images;
    for (int i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        const std::uint32_t offset = U32(b, entry + 12);
        if (offset >= b.size()) throw Exception("Icon image is not valid");
        images.push_back(DecodeDib(b, offset, 0, 2, true));
    }
    std::sort(images.begin(), images.end(),
              [](const backend::Bitmap& x, const backend::Bitmap& y) { return x.width > y.width; });
    m_images = std::move(images);
}

// ---- TCanvas ----

void TCanvas::FillRect(const backend::Rect& r, TColor c) {
    m_target.FillRect(ToWindow(r), vcl::ToRgb(c));
}
void TCanvas::FrameRect(const backend::Rect& r, TColor c) {
    m_target.FrameRect(ToWindow(r), vcl::ToRgb(c));
}
void TCanvas::Line(int x1, int y1, int x2, int y2, TColor c) {
    m_target.Line({x1 + m_origin.x, y1 + m_origin.y}, {x2 + m_origin.x, y2 + m_origin.y},
                  vcl::ToRgb(c));
}
void TCanvas::DottedRect(const backend::Rect& r, TColor c) {
    m_target.DottedRect(ToWindow(r), vcl::ToRgb(c));
}
void TCanvas::Draw(const backend::Bitmap& bmp, const backend::Rect& dest) {
    Draw(bmp, {0, 0, bmp.width, bmp.height}, dest);
}
void TCanvas::Draw(const backend::Bitmap& bmp, const backend::Rect& source,
                   const backend::Rect& dest) {
    if (bmp.width == 0 || dest.Empty()) return;
    m_target.DrawBitmap(bmp, source, ToWindow(dest));
}
void TCanvas::TextOut(int x, int y, const String& text, const TFont& font) {
    m_target.DrawText(text, {x + m_origin.x, y + m_origin.y}, font.Spec());
}
backend::TextMetrics TCanvas::TextExtent(const String& text, const TFont& font) {
    return backend::Current().MeasureText(text, font.Spec());
}
void TCanvas::PushClip(const backend::Rect& r) {
    m_target.PushClip(ToWindow(r));
}
void TCanvas::PopClip() {
    m_target.PopClip();
}

void TCanvas::DrawCaption(const backend::Rect& r, const String& caption, const TFont& font,
                          TAlignment alignment, bool centreVertically) {
    auto [shown, underline] = vcl::StripAccelerator(caption);
    const backend::TextMetrics m = TextExtent(shown, font);
    int x = r.x;
    if (alignment == TAlignment::taCenter) x = r.x + (r.width - m.width) / 2;
    if (alignment == TAlignment::taRightJustify) x = r.Right() - m.width;
    const int y = centreVertically ? r.y + (r.height - m.height) / 2 : r.y;
    TextOut(x, y, shown, font);
    if (underline != String::npos) {
        const int from = x + TextExtent(shown.substr(0, underline), font).width;
        const int to = x + TextExtent(shown.substr(0, underline + 1), font).width;
        const int baseline = y + m.ascent + 1;
        if (to > from) Line(from, baseline, to - 1, baseline, font.Color());
    }
}
