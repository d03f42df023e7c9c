#include "suipack/SUIStyle.h"

#include <algorithm>
#include <map>
#include <optional>

namespace suipack {

std::initializer_list<std::pair<const char*, TsuiUIStyle>> StyleNames() {
    static const std::initializer_list<std::pair<const char*, TsuiUIStyle>> names = {
        {"BlueGlass", TsuiUIStyle::BlueGlass},
        {"MacOS", TsuiUIStyle::MacOS},
        {"WinXP", TsuiUIStyle::WinXP},
        {"DeepBlue", TsuiUIStyle::DeepBlue},
        {"Protein", TsuiUIStyle::Protein}};
    return names;
}

const char* StylePrefix(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::BlueGlass:
        return "BLUEGLASS";
    case TsuiUIStyle::MacOS:
        return "MACOS";
    case TsuiUIStyle::WinXP:
        return "WINXP";
    case TsuiUIStyle::DeepBlue:
        return "DEEPBLUE";
    case TsuiUIStyle::Protein:
        return "PROTEIN";
    }
    return "BLUEGLASS";
}

namespace {

// Upper-cased name → the decoded picture, or nothing when the resource is missing.
std::map<String, std::optional<backend::Bitmap>>& Cache() {
    static std::map<String, std::optional<backend::Bitmap>> cache;
    return cache;
}

String Upper(String s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

} // namespace

const backend::Bitmap* SkinPicture(const String& resourceName) {
    const String key = Upper(resourceName);
    auto it = Cache().find(key);
    if (it == Cache().end()) {
        std::optional<backend::Bitmap> decoded;
        try {
            TBitmap bitmap;
            bitmap.LoadFromResourceName(key);
            decoded = bitmap.WithTransparentColor(kTransparentKey);
        } catch (const Exception&) {
            // Missing or unreadable: the caller draws the part without a picture.
        }
        it = Cache().emplace(key, std::move(decoded)).first;
    }
    return it->second ? &*it->second : nullptr;
}

const backend::Bitmap& RequireSkinPicture(const String& resourceName) {
    if (const backend::Bitmap* bmp = SkinPicture(resourceName)) return *bmp;
    // Decode again to report why (not found, or not a valid picture).
    TBitmap bitmap;
    bitmap.LoadFromResourceName(resourceName);
    throw Exception("Picture " + resourceName + " is not valid");
}

void DrawThreePart(TCanvas& canvas, const backend::Bitmap& bmp, int cap,
                   const backend::Rect& dest) {
    if (dest.Empty() || bmp.width == 0) return;
    cap = std::clamp(cap, 0, bmp.width / 2);
    const int destCap = std::min(cap, dest.width / 2);
    const int middle = bmp.width - 2 * cap;
    canvas.Draw(bmp, {0, 0, cap, bmp.height}, {dest.x, dest.y, destCap, dest.height});
    if (middle > 0 && dest.width > 2 * destCap)
        canvas.Draw(bmp, {cap, 0, middle, bmp.height},
                    {dest.x + destCap, dest.y, dest.width - 2 * destCap, dest.height});
    canvas.Draw(bmp, {bmp.width - cap, 0, cap, bmp.height},
                {dest.Right() - destCap, dest.y, destCap, dest.height});
}

} // namespace suipack
