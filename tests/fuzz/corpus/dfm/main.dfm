object fmMain: TfmMain
  Left = 350
  Top = 239
  BorderStyle = bsSingle
  Caption = 'Riduduz'
  ClientHeight = 280
  ClientWidth = 541
  Color = clBtnFace
  Constraints.MinHeight = 50
  Constraints.MinWidth = 270
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  Position = poDesktopCenter
  Scaled = False
  OnClose = FormClose
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  PixelsPerInch = 96
  TextHeight = 13
  object sfMain: TsuiForm
    Left = 0
    Top = 0
    Width = 541
    Height = 280
    UIStyle = BlueGlass
    Caption = 'Riduduz'
    TitleFont.Charset = DEFAULT_CHARSET
    TitleFont.Color = clWhite
    TitleFont.Height = -11
    TitleFont.Name = 'Tahoma'
    TitleFont.Style = [fsBold]
    TitleBarDrawAppIcon = False
    BorderWidth = 1
    BorderColor = clBlack
    Color = $00E7E7E7
    MenuBarColor = $00E7E7E7
    MenuBarHeight = 22
    RoundCorner = 11
    UIStyleAutoUpdateSub = False
    TitleBarSections = <
      item
        Align = ssaLeft
        Width = 162
        AutoSize = True
        Picture = 'BLUEGLASS_TITLE_LEFT'
      end
      item
        Align = ssaRight
        Width = 101
        AutoSize = True
        Picture = 'BLUEGLASS_TITLE_RIGHT'
      end
      item
        Align = ssaClient
        Picture = 'BLUEGLASS_TITLE_MIDDLE'
      end>
    TitleBarButtons = <
      item
        Action = sbaSysMenu
        Top = 6
        Transparent = True
        PicNormal = 'BLUEGLASS_SYSMENU_NORMAL'
        PicOver = 'BLUEGLASS_SYSMENU_OVER'
        PicPressed = 'BLUEGLASS_SYSMENU_PRESSED'
      end
      item
        Action = sbaClose
        Top = 6
        Transparent = True
        PicNormal = 'BLUEGLASS_CLOSE_NORMAL'
        PicOver = 'BLUEGLASS_CLOSE_OVER'
        PicPressed = 'BLUEGLASS_CLOSE_PRESSED'
      end>
    object Label1: TLabel
      Left = 19
      Top = 165
      Width = 244
      Height = 19
      Caption = 'Today, I have been working for :'
      Font.Charset = ANSI_CHARSET
      Font.Color = clBlue
      Font.Height = -16
      Font.Name = 'Arial'
      Font.Style = [fsBold]
      ParentFont = False
      Transparent = True
    end
    object lblTime: TLabel
      Left = 278
      Top = 142
      Width = 242
      Height = 59
      Caption = '05:30:22'
      Font.Charset = ANSI_CHARSET
      Font.Color = clBlue
      Font.Height = -48
      Font.Name = 'Verdana'
      Font.Style = [fsBold]
      ParentFont = False
      Transparent = True
    end
    object pTop: TsuiPanel
      Left = 0
      Top = 30
      Width = 541
      Height = 83
      Align = alTop
      UIStyle = MacOS
      Color = clWhite
      BorderColor = $007F7F7F
      ShowButton = False
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clBlack
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      ParentFont = False
      TabOrder = 1
      object imgLogo: TImage
        Left = 4
        Top = 25
        Width = 292
        Height = 54
        Cursor = crHandPoint
        Align = alLeft
        AutoSize = True
        Picture.ResourceName = 'LOGO'
        OnClick = imgLogoClick
      end
      object btnMenu: TsuiButton
        Left = 419
        Top = 42
        Width = 80
        Height = 27
        UIStyle = BlueGlass
        Caption = '&Menu'
        AutoSize = False
        Transparent = True
        ModalResult = mrNone
        FocusedRectMargin = 2
        Layout = blGlyphLeft
        Spacing = 4
        TabOrder = 0
        OnClick = btnMenuClick
      end
    end
    object btnStart: TsuiButton
      Left = 48
      Top = 229
      Width = 80
      Height = 27
      UIStyle = BlueGlass
      Caption = '&Start'
      AutoSize = False
      Transparent = True
      ModalResult = mrNone
      FocusedRectMargin = 2
      Layout = blGlyphLeft
      Spacing = 4
      TabOrder = 2
      OnClick = btnStartClick
    end
    object btnReset: TsuiButton
      Left = 384
      Top = 229
      Width = 121
      Height = 27
      UIStyle = BlueGlass
      Caption = '&Reset Timer'
      AutoSize = False
      Transparent = True
      ModalResult = mrNone
      FocusedRectMargin = 2
      Layout = blGlyphLeft
      Spacing = 4
      TabOrder = 5
      OnClick = btnResetClick
    end
  end
  object tmMain: TTimer
    OnTimer = tmMainTimer
  end
  object pmMain: TsuiPopupMenu
    UIStyle = BlueGlass
    OwnerDraw = True
    MenuItemHeight = 21
    SeparatorHeight = 5
    SideBarWidth = 26
    SideBarColor = $00CED3D6
    MenuColor = $00E7E7E7
    SeparatorColor = $00848284
    SelectedColor = $00EC5E5E
    SelectedBorderColor = $00EC5E5E
    SelectedFontColor = clWhite
    FontColor = clBlack
    BorderColor = clBlack
    Flat = False
    UseSystemFont = True
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = []
    object pmiStart: TMenuItem
      Caption = '&Start'
      OnClick = btnStartClick
    end
    object pmiReset: TMenuItem
      Caption = '&Reset Timer'
      OnClick = btnResetClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmiOption: TMenuItem
      Caption = '&Options'
      OnClick = pmiOptionClick
    end
    object pmiHome: TMenuItem
      Caption = '&Home Page'
      OnClick = pmiHomeClick
    end
    object pmiAbout: TMenuItem
      Caption = '&About'
      OnClick = pmiAboutClick
    end
    object N2: TMenuItem
      Caption = '-'
    end
    object pmiExit: TMenuItem
      Caption = 'E&xit'
      OnClick = pmiExitClick
    end
  end
end
