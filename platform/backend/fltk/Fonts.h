// Font names of the component library resolved to installed faces, and registered with FLTK.
//
// Contract
//  - ResolveFace asks fontconfig for the installed face that best fits a face name, weight,
//    slant, pixel size and the characters of a charset (aliases such as Arial -> Liberation
//    Sans decide). The answer names a family that fontconfig finds again by that name, and
//    the file it lives in. Results are cached per request.
//  - FltkFont gives the FLTK font index (registered once per family and style in FLTK's Xft
//    naming) and pixel size for a FontSpec. Neither needs a display.
#pragma once

#include "backend/Backend.h"

#include <string>

namespace backend::fltk {

struct ResolvedFace {
    std::string family;
    std::string file;
};

ResolvedFace ResolveFace(const std::string& face, bool bold, bool italic, int pixelSize,
                         int charset);

struct FltkFontChoice {
    int font = 0; // an Fl_Font
    int size = 0; // pixels
};

FltkFontChoice FltkFont(const FontSpec& spec);

} // namespace backend::fltk
