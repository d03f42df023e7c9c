#include "backend/fltk/Fonts.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace backend;
using namespace backend::fltk;

TEST(ResolveFace, NamesResolveToInstalledFacesThatFitThem) {
    struct Case {
        const char* face;
        bool bold;
        bool italic;
        const char* family;
        const char* fileHas;
    };
    const Case cases[] = {
        {"Arial", false, false, "Liberation Sans", "LiberationSans-Regular"},
        {"Arial", true, false, "Liberation Sans", "LiberationSans-Bold"},
        {"Arial", false, true, "Liberation Sans", "LiberationSans-Italic"},
        {"Arial", true, true, "Liberation Sans", "LiberationSans-BoldItalic"},
        {"Verdana", false, false, "DejaVu Sans", "DejaVuSans"},
        {"Tahoma", true, false, "DejaVu Sans", "DejaVuSans-Bold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        const ResolvedFace f = ResolveFace(c.face, c.bold, c.italic, 11, 1);
        EXPECT_EQ(f.family, c.family);
        EXPECT_NE(f.file.find(c.fileHas), std::string::npos) << f.file;
        EXPECT_EQ(access(f.file.c_str(), R_OK), 0);
    }
}

TEST(ResolveFace, UnknownAndBitmapEraNamesFallBackToAnInstalledSans) {
    for (const char* face : {"MS Sans Serif", "No Such Face 123", "a-b:c"}) {
        SCOPED_TRACE(face);
        const ResolvedFace f = ResolveFace(face, false, false, 11, 0);
        EXPECT_TRUE(f.family == "DejaVu Sans" || f.family == "Liberation Sans") << f.family;
        EXPECT_EQ(access(f.file.c_str(), R_OK), 0);
    }
}

TEST(FltkFont, OneFontIndexPerFamilyAndStyle) {
    FontSpec a;
    a.face = "Arial";
    a.height = -11;
    FontSpec bigger = a;
    bigger.height = -20;
    FontSpec bold = a;
    bold.bold = true;
    FontSpec liberation = a;
    liberation.face = "Liberation Sans";
    const FltkFontChoice ca = FltkFont(a);
    EXPECT_EQ(ca.size, 11);
    EXPECT_EQ(FltkFont(bigger).font, ca.font);
    EXPECT_EQ(FltkFont(bigger).size, 20);
    EXPECT_EQ(FltkFont(liberation).font, ca.font); // same face, so the same registration
    EXPECT_NE(FltkFont(bold).font, ca.font);
}
