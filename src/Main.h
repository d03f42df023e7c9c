// The main window: the work-time counter, its menu and today's entry in the work log.
//
// Counting starts at window creation from today's stored total and adds one second per
// tick of tmMain while running. The read-out, the window title, the skinned title and the
// task-bar text follow the count from the first tick on. The total is saved at exit, once
// every 60 ticks while counting, and under its own day when a tick finds the date changed.
#pragma once

#include "suipack/SUIPack.h"
#include "vcl/Vcl.h"

#include <cstdint>

class TfmMain : public TForm {
public: // published: filled and bound by name from the form description
    TsuiForm* sfMain = nullptr;
    TsuiPanel* pTop = nullptr;
    TTimer* tmMain = nullptr;
    TImage* imgLogo = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* lblTime = nullptr;
    TsuiButton* btnStart = nullptr;
    TsuiButton* btnReset = nullptr;
    TsuiButton* btnMenu = nullptr;
    TsuiPopupMenu* pmMain = nullptr;
    TMenuItem* pmiStart = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* pmiReset = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* pmiOption = nullptr;
    TMenuItem* pmiHome = nullptr;
    TMenuItem* pmiAbout = nullptr;
    TMenuItem* pmiExit = nullptr;

    void btnMenuClick(TObject* Sender);
    void btnStartClick(TObject* Sender);
    void btnResetClick(TObject* Sender);
    void pmiOptionClick(TObject* Sender);
    void pmiHomeClick(TObject* Sender);
    void pmiAboutClick(TObject* Sender);
    void pmiExitClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void tmMainTimer(TObject* Sender);
    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void imgLogoClick(TObject* Sender);

    static const vcl::PublishedTable& Published();

private:
    std::uint32_t m_dwWorkSeconds = 0;
    bool m_bRunning = false;
    String m_strTime;
    std::int32_t m_nDayCount = 0; // the day list's Count as last read or written
    bool m_bDayListed = false;
    String m_strDay;     // the day the count belongs to ("%04d-%02d-%02d")
    String m_strLogFile; // where the work log is read and written
    int m_nTicksSinceSave = 0;
    bool m_bSaveFailureShown = false; // a failing periodic save is reported once
    bool m_bStoredUnknown = false;    // the log could not be read at start: the count holds
                                      // only what was counted since

    void ShowWorkTime();
    void UpdateTitle();
    void UpdateStartButton();
    std::uint32_t LoadWorkTime();
    void SaveWorkTime();
    bool WriteWorkTime(String& failure);
    void StartNewDayIfDateChanged();

public:
    explicit TfmMain(TComponent* Owner);
    ~TfmMain() override;
};

extern TfmMain* fmMain;
