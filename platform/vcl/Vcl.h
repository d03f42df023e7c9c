// The component library, one header for all of it.
//
//   SysUtils.h  strings, Exception family        Controls.h  TControl, TWinControl
//   Classes.h   TObject, TComponent, ownership   Forms.h     TForm, TApplication, Dispatch
//   TypInfo.h   class and property tables        StdCtrls.h  TLabel, TGroupBox
//   Graphics.h  TColor, TFont, TBitmap, TCanvas  ExtCtrls.h  TImage, TTimer
//   Menus.h     TMenuItem, TPopupMenu
#pragma once

#include "vcl/Classes.h"
#include "vcl/Controls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "vcl/SysUtils.h"
#include "vcl/TypInfo.h"
