// The skin styles shared by every skin-pack control, and the pictures they are drawn from.
//
// A style names a family of pictures compiled into the program as resources: a style's
// prefix (BLUEGLASS, MACOS, ...) followed by the part and the state, e.g.
// BLUEGLASS_BUTTON_OVER. In every skin picture magenta (255, 0, 255) is transparent.
// A missing picture is not an error for built-in looks: the control draws that part with
// canvas primitives instead. Pictures a description names explicitly must exist.
#pragma once

#include "vcl/Graphics.h"

enum class TsuiUIStyle { BlueGlass, MacOS, WinXP, DeepBlue, Protein };

// Controls whose look follows a style; a TsuiForm with UIStyleAutoUpdateSub hands its
// style down to every such control inside it.
class ISuiStyled {
public:
    virtual ~ISuiStyled() = default;
    virtual TsuiUIStyle UIStyle() const = 0;
    virtual void SetUIStyle(TsuiUIStyle style) = 0;
};

namespace suipack {

inline constexpr backend::Color kTransparentKey{255, 0, 255};

// The description names of the styles, for property tables.
std::initializer_list<std::pair<const char*, TsuiUIStyle>> StyleNames();

// "BLUEGLASS", "MACOS", ...: the resource-name prefix of a style's pictures.
const char* StylePrefix(TsuiUIStyle style);

// The named picture with magenta made transparent, decoded once and kept for the life of
// the program; null when there is no such resource.
const backend::Bitmap* SkinPicture(const String& resourceName);

// The same, or EResNotFound / Exception naming the picture when it is missing or broken.
const backend::Bitmap& RequireSkinPicture(const String& resourceName);

// Draws `bmp` across `dest` keeping `cap` columns at each end unscaled and stretching the
// middle (the button pictures: fixed rounded ends, stretchable face).
void DrawThreePart(TCanvas& canvas, const backend::Bitmap& bmp, int cap, const backend::Rect& dest);

} // namespace suipack
