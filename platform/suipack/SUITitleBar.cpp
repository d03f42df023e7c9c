#include "suipack/SUITitleBar.h"

void TsuiTitleBarSection::SetPicture(const String& name) {
    Drawn = name.empty() ? nullptr : &suipack::RequireSkinPicture(name);
    Picture = name;
}

void TsuiTitleBarButton::SetTransparent(bool v) {
    Transparent = v;
    for (int s = Normal; s <= Pressed; ++s)
        Prepare(static_cast<State>(s));
}

void TsuiTitleBarButton::SetPicture(State state, const String& name) {
    if (!name.empty()) suipack::RequireSkinPicture(name); // fails before anything changes
    Pic[state] = name;
    Prepare(state);
}

void TsuiTitleBarButton::Prepare(State state) {
    Drawn[state] = {};
    if (Pic[state].empty()) return;
    if (Transparent) {
        Drawn[state] = suipack::RequireSkinPicture(Pic[state]);
    } else {
        TBitmap raw;
        raw.LoadFromResourceName(Pic[state]);
        Drawn[state] = raw.Pixels();
    }
}

namespace {

// A string property naming a picture; a bad name is reported against the description.
template <class T>
vcl::PropertyInfo PictureProperty(const char* name, void (T::*set)(const String&)) {
    return vcl::prop::Custom<T>(name,
                                [set](T& item, const vcl::dfm::Value& v, vcl::LoadContext& ctx) {
                                    const String resource = vcl::ReadString(v, ctx);
                                    try {
                                        (item.*set)(resource);
                                    } catch (const Exception& e) {
                                        ctx.Fail(v.line, e.Message());
                                    }
                                });
}

} // namespace

const vcl::ClassInfo& TsuiTitleBarSection::StaticClassInfo() {
    using namespace vcl;
    using S = TsuiTitleBarSection;
    static const ClassInfo info("TsuiTitleBarSection", &TPersistent::StaticClassInfo(), {},
                                {prop::Enum("Align", &S::SetAlign,
                                            {{"ssaLeft", TsuiSectionAlign::ssaLeft},
                                             {"ssaRight", TsuiSectionAlign::ssaRight},
                                             {"ssaClient", TsuiSectionAlign::ssaClient}}),
                                 prop::Int("Width", &S::SetWidth),
                                 prop::Bool("AutoSize", &S::SetAutoSize),
                                 PictureProperty("Picture", &S::SetPicture)});
    return info;
}

const vcl::ClassInfo& TsuiTitleBarButton::StaticClassInfo() {
    using namespace vcl;
    using B = TsuiTitleBarButton;
    static const ClassInfo info(
        "TsuiTitleBarButton", &TPersistent::StaticClassInfo(), {},
        {prop::Enum("Action", &B::SetAction,
                    {{"sbaSysMenu", TsuiButtonAction::sbaSysMenu},
                     {"sbaMinimize", TsuiButtonAction::sbaMinimize},
                     {"sbaClose", TsuiButtonAction::sbaClose}}),
         prop::Int("Top", &B::SetTop), prop::Int("Width", &B::SetWidth),
         prop::Int("Height", &B::SetHeight), prop::Bool("Transparent", &B::SetTransparent),
         PictureProperty("PicNormal", &B::SetPicNormal), PictureProperty("PicOver", &B::SetPicOver),
         PictureProperty("PicPressed", &B::SetPicPressed)});
    return info;
}
