#include "backend/fltk/Fonts.h"

#include "backend/fltk/Helpers.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

#include <deque>
#include <map>
#include <memory>
#include <tuple>
#include <unistd.h>

namespace backend::fltk {

namespace {

// The characters a Windows charset number stands for; ANSI and DEFAULT are Windows-1252.
FcCharSet* CharsetCoverage(int charset) {
    FcCharSet* cs = FcCharSetCreate();
    for (FcChar32 c = 0x20; c < 0x7F; ++c)
        FcCharSetAddChar(cs, c);
    for (FcChar32 c = 0xA0; c <= 0xFF; ++c)
        FcCharSetAddChar(cs, c);
    static const FcChar32 cp1252[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                      0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                      0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    for (FcChar32 c : cp1252)
        FcCharSetAddChar(cs, c);
    auto range = [cs](FcChar32 from, FcChar32 to) {
        for (FcChar32 c = from; c <= to; ++c)
            FcCharSetAddChar(cs, c);
    };
    switch (charset) {
    case 204:
        range(0x410, 0x44F);
        break; // Russian
    case 161:
        range(0x391, 0x3C9);
        break; // Greek
    case 238:
        range(0x100, 0x17F);
        break; // Eastern Europe
    case 162:
        range(0x11E, 0x15F);
        break; // Turkish
    default:
        break;
    }
    return cs;
}

std::string GetString(FcPattern* p, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

ResolvedFace Match(const std::string& face, bool bold, bool italic, int pixelSize, int charset) {
    ResolvedFace out;
    if (!FcInit()) return out;
    // The family is added as a value, not parsed as a fontconfig name, so that names with
    // '-' or ':' in them stay names.
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pat, FC_PIXEL_SIZE, pixelSize);
    FcCharSet* cs = CharsetCoverage(charset);
    FcPatternAddCharSet(pat, FC_CHARSET, cs);
    FcCharSetDestroy(cs);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
        out.family = GetString(match, FC_FAMILY);
        out.file = GetString(match, FC_FILE);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    // Only a face whose file is really there is an answer.
    if (out.file.empty() || access(out.file.c_str(), R_OK) != 0) out = {};
    return out;
}

} // namespace

ResolvedFace ResolveFace(const std::string& face, bool bold, bool italic, int pixelSize,
                         int charset) {
    using Key = std::tuple<std::string, bool, bool, int, int>;
    static std::map<Key, ResolvedFace> cache;
    const Key key{face, bold, italic, pixelSize, charset};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    ResolvedFace found = Match(face, bold, italic, pixelSize, charset);
    if (found.family.empty() && face != "sans-serif")
        found = Match("sans-serif", bold, italic, pixelSize, charset);
    cache.emplace(key, found);
    return found;
}

FltkFontChoice FltkFont(const FontSpec& spec) {
    FltkFontChoice choice;
    choice.size = FontPixelSize(spec.height);
    const ResolvedFace face =
        ResolveFace(spec.face, spec.bold, spec.italic, choice.size, spec.charset);
    if (face.family.empty()) {
        choice.font = spec.bold ? (spec.italic ? FL_HELVETICA_BOLD_ITALIC : FL_HELVETICA_BOLD)
                                : (spec.italic ? FL_HELVETICA_ITALIC : FL_HELVETICA);
        return choice;
    }
    // FLTK's Xft names: the first character picks the style, the rest is the family.
    const char style = spec.bold ? (spec.italic ? 'P' : 'B') : (spec.italic ? 'I' : ' ');
    const std::string name = std::string(1, style) + face.family;
    static std::map<std::string, int> registered;
    static std::deque<std::string> names; // Fl::set_font keeps the pointer
    static int next = FL_FREE_FONT;
    auto it = registered.find(name);
    if (it == registered.end()) {
        names.push_back(name);
        Fl::set_font(static_cast<Fl_Font>(next), names.back().c_str());
        it = registered.emplace(name, next++).first;
    }
    choice.font = it->second;
    return choice;
}

} // namespace backend::fltk
