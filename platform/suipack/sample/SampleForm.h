// A form showing every skin-pack control: the skinned frame, a panel with a title strip,
// buttons (one disabled) and a pop-up menu with a separator. Its description is
// Sample.dfm, compiled in under TSAMPLEFORM. It counts what happens to it so tests can
// drive it headless.
#pragma once

#include "suipack/SUIPack.h"
#include "vcl/Forms.h"

class TSampleForm : public TForm {
public:
    using TForm::TForm;

    TsuiForm* suiForm = nullptr;
    TsuiPanel* pnlTop = nullptr;
    TsuiButton* btnMenu = nullptr;
    TsuiButton* btnStart = nullptr;
    TsuiButton* btnQuit = nullptr;
    TsuiButton* btnDisabled = nullptr;
    TsuiPopupMenu* pmMain = nullptr;
    TMenuItem* pmiStart = nullptr;
    TMenuItem* pmiReset = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* pmiExit = nullptr;

    int closes = 0;      // OnClose calls
    int startClicks = 0; // btnStart or its menu item
    int quitClicks = 0;
    int disabledClicks = 0;

    void FormClose(TObject* Sender, TCloseAction& Action);
    void btnMenuClick(TObject* Sender);
    void btnStartClick(TObject* Sender);
    void btnQuitClick(TObject* Sender);
    void btnDisabledClick(TObject* Sender);
    void pmiExitClick(TObject* Sender);

    static const vcl::PublishedTable& Published();
};
