object fmAbout: TfmAbout
  Left = 300
  Top = 200
  BorderStyle = bsDialog
  Caption = 'About Riduduz'
  ClientHeight = 331
  ClientWidth = 496
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
  PixelsPerInch = 96
  TextHeight = 13
  object suiForm1: TsuiForm
    Left = 0
    Top = 0
    Width = 496
    Height = 331
    UIStyle = BlueGlass
    Caption = 'About Riduduz'
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
    object Label2: TLabel
      Left = 93
      Top = 112
      Width = 286
      Height = 13
      Alignment = taCenter
      AutoSize = False
      Caption = 'Copyright (C) 2026 The Riduduz developers'
      Transparent = True
    end
    object GroupBox1: TGroupBox
      Left = 33
      Top = 141
      Width = 417
      Height = 120
      Color = $00E7E7E7
      TabOrder = 1
      object Label1: TLabel
        Left = 16
        Top = 24
        Width = 372
        Height = 13
        Caption = ''
        Transparent = True
      end
      object Label3: TLabel
        Left = 15
        Top = 46
        Width = 377
        Height = 13
        Caption = ''
        Transparent = True
      end
      object Label4: TLabel
        Left = 15
        Top = 67
        Width = 387
        Height = 13
        Caption = ' '
        Transparent = True
      end
      object Label5: TLabel
        Left = 16
        Top = 88
        Width = 140
        Height = 13
        Caption = ''
        Transparent = True
      end
    end
    object btnOK: TsuiButton
      Left = 202
      Top = 278
      Width = 80
      Height = 27
      UIStyle = BlueGlass
      Caption = '&OK'
      AutoSize = False
      Transparent = True
      ModalResult = mrOk
      Default = True
      TabOrder = 2
    end
    object imgTitle: TImage
      Left = 92
      Top = 45
      Width = 292
      Height = 50
      AutoSize = True
      Picture.ResourceName = 'LOGO'
      Transparent = True
    end
  end
end
