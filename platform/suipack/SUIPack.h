// The skin pack: skinned stand-ins for a form's frame, panels, buttons and pop-up menus.
//
//   TsuiForm       the window's own title bar, buttons, border and background (SUIForm.h)
//   TsuiPanel      a bordered container with a title strip               (SUIPanel.h)
//   TsuiButton     a push button drawn from pictures                     (SUIButton.h)
//   TsuiPopupMenu  an owner-drawn pop-up menu                            (SUIPopupMenu.h)
//
// Every class reads its properties from form descriptions; UIStyle picks the pictures and
// colours (SUIStyle.h). Call suipack::RegisterClasses() once before loading a description
// that names a skin-pack class without a published member of that type.
#pragma once

#include "suipack/SUIButton.h"
#include "suipack/SUIForm.h"
#include "suipack/SUIPanel.h"
#include "suipack/SUIPopupMenu.h"
#include "suipack/SUIStyle.h"
#include "suipack/SUITitleBar.h"

namespace suipack {
// Makes every skin-pack class known to the description loader by name.
void RegisterClasses();
} // namespace suipack
