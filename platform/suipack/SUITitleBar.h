// The items of a TsuiForm's title bar, as form descriptions state them.
//
//   TitleBarSections = <
//     item  Align = ssaLeft   Width = 162  AutoSize = True  Picture = 'BLUEGLASS_TITLE_LEFT'  end
//     item  Align = ssaRight  Width = 101  AutoSize = True  Picture = 'BLUEGLASS_TITLE_RIGHT' end
//     item  Align = ssaClient Picture = 'BLUEGLASS_TITLE_MIDDLE' end>
//   TitleBarButtons = <
//     item  Action = sbaSysMenu  Top = 6  Transparent = True
//           PicNormal = 'BLUEGLASS_SYSMENU_NORMAL'  PicOver = '...'  PicPressed = '...'  end
//     item  Action = sbaClose ... end>
//
// Sections: ssaLeft ones are laid out from the left edge in item order, ssaRight ones from
// the right edge (the first item outermost), the ssaClient one stretched over what is left.
// A section is Width wide, or its picture's width when AutoSize is on; the bar is as high
// as the tallest section picture (33 without pictures). Buttons sit at the right end of the
// bar in item order, the last one rightmost, 1 px apart and 6 px from the right
// edge; each is its normal picture's size (Width x Height without one), Top from the bar's
// top. Pictures are resource names; a name that is not a valid picture fails the load.
// Transparent draws the pictures with magenta keyed out; off, they are drawn as they are.
#pragma once

#include "suipack/SUIStyle.h"

enum class TsuiSectionAlign { ssaLeft, ssaRight, ssaClient };
enum class TsuiButtonAction { sbaSysMenu, sbaMinimize, sbaClose };

class TsuiTitleBarSection : public TPersistent {
public:
    TsuiSectionAlign Align = TsuiSectionAlign::ssaLeft;
    int Width = 0;
    bool AutoSize = false;
    String Picture;                         // resource name; empty: filled with the bar colour
    const backend::Bitmap* Drawn = nullptr; // the picture, magenta keyed out

    void SetAlign(TsuiSectionAlign v) { Align = v; }
    void SetWidth(int v) { Width = v; }
    void SetAutoSize(bool v) { AutoSize = v; }
    // Loads the named picture; throws Exception when it is missing or not valid.
    void SetPicture(const String& name);
    int EffectiveWidth() const { return AutoSize && Drawn ? Drawn->width : Width; }

    VCL_DECLARE_CLASS();
};

class TsuiTitleBarButton : public TPersistent {
public:
    enum State { Normal, Over, Pressed };

    TsuiButtonAction Action = TsuiButtonAction::sbaClose;
    int Top = 6;
    int Width = 19;
    int Height = 19;
    bool Transparent = true;
    String Pic[3];            // resource names per state
    backend::Bitmap Drawn[3]; // as drawn (transparency applied when asked)

    void SetAction(TsuiButtonAction v) { Action = v; }
    void SetTop(int v) { Top = v; }
    void SetWidth(int v) { Width = v; }
    void SetHeight(int v) { Height = v; }
    void SetTransparent(bool v);
    // Loads the named picture for a state; throws Exception when it is not valid.
    void SetPicture(State state, const String& name);
    void SetPicNormal(const String& name) { SetPicture(Normal, name); }
    void SetPicOver(const String& name) { SetPicture(Over, name); }
    void SetPicPressed(const String& name) { SetPicture(Pressed, name); }
    int EffectiveWidth() const { return Drawn[Normal].width ? Drawn[Normal].width : Width; }
    int EffectiveHeight() const { return Drawn[Normal].width ? Drawn[Normal].height : Height; }

    VCL_DECLARE_CLASS();

private:
    void Prepare(State state);
};
