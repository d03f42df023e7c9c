object SampleForm: TSampleForm
  Left = 200
  Top = 150
  BorderStyle = bsSingle
  Caption = 'Skin pack sample'
  ClientHeight = 200
  ClientWidth = 541
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poDesigned
  OnClose = FormClose
  object suiForm: TsuiForm
    Left = 0
    Top = 0
    Width = 541
    Height = 200
    Align = alClient
    UIStyle = BlueGlass
    Caption = 'Skin pack sample'
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
    object pnlTop: TsuiPanel
      Left = 0
      Top = 30
      Width = 541
      Height = 83
      Align = alTop
      UIStyle = MacOS
      Caption = 'A panel with a title strip'
      Color = clWhite
      BorderColor = $007F7F7F
      ShowButton = False
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clBlack
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      ParentFont = False
      TabOrder = 3
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
      Top = 150
      Width = 80
      Height = 27
      UIStyle = BlueGlass
      Caption = '&Start'
      Default = True
      Transparent = True
      TabOrder = 0
      OnClick = btnStartClick
    end
    object btnQuit: TsuiButton
      Left = 150
      Top = 150
      Width = 80
      Height = 27
      UIStyle = BlueGlass
      Caption = '&Quit'
      Cancel = True
      Transparent = True
      TabOrder = 1
      OnClick = btnQuitClick
    end
    object btnDisabled: TsuiButton
      Left = 252
      Top = 150
      Width = 121
      Height = 27
      UIStyle = BlueGlass
      Caption = '&Disabled'
      Enabled = False
      Transparent = True
      TabOrder = 2
      OnClick = btnDisabledClick
    end
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
    object pmiStart: TMenuItem
      Caption = '&Start'
      OnClick = btnStartClick
    end
    object pmiReset: TMenuItem
      Caption = '&Reset Timer'
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmiExit: TMenuItem
      Caption = 'E&xit'
      OnClick = pmiExitClick
    end
  end
end
