#include "Main.h"

#include "About.h"
#include "WorkLog.h"
#include "common/misc/WinUtil.h"
#include "winapi/WinApi.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

TfmMain* fmMain = nullptr;

namespace {

constexpr const char* kHomePage = "http://www.riduduz.example.com/riduduz/index.html";
constexpr int kTicksBetweenSaves = 60;

String Formatted(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

TfmMain::TfmMain(TComponent* Owner) : TForm(Owner), m_strTime("") {}

TfmMain::~TfmMain() = default;

const vcl::PublishedTable& TfmMain::Published() {
    using vcl::Field;
    using vcl::Method;
    static const vcl::PublishedTable table(
        "TfmMain",
        {Field("sfMain", &TfmMain::sfMain), Field("pTop", &TfmMain::pTop),
         Field("tmMain", &TfmMain::tmMain), Field("imgLogo", &TfmMain::imgLogo),
         Field("Label1", &TfmMain::Label1), Field("lblTime", &TfmMain::lblTime),
         Field("btnStart", &TfmMain::btnStart), Field("btnReset", &TfmMain::btnReset),
         Field("btnMenu", &TfmMain::btnMenu), Field("pmMain", &TfmMain::pmMain),
         Field("pmiStart", &TfmMain::pmiStart), Field("N1", &TfmMain::N1),
         Field("pmiReset", &TfmMain::pmiReset), Field("N2", &TfmMain::N2),
         Field("pmiOption", &TfmMain::pmiOption), Field("pmiHome", &TfmMain::pmiHome),
         Field("pmiAbout", &TfmMain::pmiAbout), Field("pmiExit", &TfmMain::pmiExit)},
        {Method("btnMenuClick", &TfmMain::btnMenuClick),
         Method("btnStartClick", &TfmMain::btnStartClick),
         Method("btnResetClick", &TfmMain::btnResetClick),
         Method("pmiOptionClick", &TfmMain::pmiOptionClick),
         Method("pmiHomeClick", &TfmMain::pmiHomeClick),
         Method("pmiAboutClick", &TfmMain::pmiAboutClick),
         Method("pmiExitClick", &TfmMain::pmiExitClick), Method("FormClose", &TfmMain::FormClose),
         Method("tmMainTimer", &TfmMain::tmMainTimer), Method("FormCreate", &TfmMain::FormCreate),
         Method("FormDestroy", &TfmMain::FormDestroy),
         Method("imgLogoClick", &TfmMain::imgLogoClick)});
    return table;
}

// ---- the menu and the window ----

void TfmMain::btnMenuClick(TObject*) {
    POINT pt{0, btnMenu->Height()};
    ClientToScreen(btnMenu->Handle(), &pt);
    pmMain->Popup(pt.x, pt.y);
}

void TfmMain::pmiExitClick(TObject*) {
    Close();
}

void TfmMain::pmiOptionClick(TObject*) {}

void TfmMain::FormClose(TObject*, TCloseAction&) {}

void TfmMain::pmiHomeClick(TObject*) {
    ShellOpen(kHomePage);
}

void TfmMain::imgLogoClick(TObject*) {
    pmiHomeClick(this);
}

void TfmMain::pmiAboutClick(TObject*) {
    TfmAbout* about = vcl::NewForm<TfmAbout>(this);
    about->ShowModal();
    TObject::Free(about);
}

// ---- the counter ----

void TfmMain::FormCreate(TObject*) {
    m_bRunning = true;
    m_dwWorkSeconds = LoadWorkTime();
    ShowWorkTime();
}

void TfmMain::tmMainTimer(TObject*) {
    StartNewDayIfDateChanged();
    m_dwWorkSeconds += 1;
    ShowWorkTime();
    UpdateTitle();
    UpdateStartButton();
    if (++m_nTicksSinceSave >= kTicksBetweenSaves) {
        m_nTicksSinceSave = 0;
        String failure;
        if (WriteWorkTime(failure)) {
            m_bSaveFailureShown = false;
        } else if (!m_bSaveFailureShown) {
            m_bSaveFailureShown = true;
            MessageBoxA(Handle(), failure.c_str(), Application->Title().c_str(),
                        MB_OK | MB_ICONWARNING);
        }
    }
}

void TfmMain::btnStartClick(TObject*) {
    m_bRunning = !m_bRunning;
    UpdateStartButton();
}

void TfmMain::btnResetClick(TObject*) {
    const int answer = MessageBoxA(Handle(),
                                   "If you choose to reset timer, your work time of today will be "
                                   "cleared. Are you sure to continue?",
                                   "Confirmation", MB_OKCANCEL | MB_ICONQUESTION);
    if (answer == IDOK) m_dwWorkSeconds = 0;
}

void TfmMain::ShowWorkTime() {
    const unsigned hours = m_dwWorkSeconds / 3600;
    const unsigned rest = m_dwWorkSeconds - hours * 3600;
    const unsigned minutes = rest / 60;
    const unsigned seconds = rest - minutes * 60;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, seconds);
    lblTime->SetCaption(text);
    m_strTime = text;
}

void TfmMain::UpdateTitle() {
    const String title = "My Riduduz - " + m_strTime;
    if (fmMain) fmMain->SetCaption(title);
    Application->SetTitle(title);
    sfMain->SetCaption(title);
}

void TfmMain::UpdateStartButton() {
    if (m_bRunning) {
        btnStart->SetCaption("&Pause");
        tmMain->SetEnabled(true);
    } else {
        btnStart->SetCaption("&Start");
        tmMain->SetEnabled(false);
    }
}

// ---- the work log ----

std::uint32_t TfmMain::LoadWorkTime() {
    std::vector<char> folder(4096);
    while (!GetModuleDir(HInstance(), folder.data(), folder.size()) && folder.size() < (1u << 20))
        folder.resize(folder.size() * 2);
    m_strLogFile = worklog::LogPath(folder.data());
    m_strDay = worklog::TodayKey();
    bool unreadable = false;
    const auto stored =
        worklog::ReadValue(m_strLogFile, worklog::kTimeSection, m_strDay, &unreadable);
    const std::uint32_t total = stored ? worklog::ParseTotal(*stored) : 0;
    m_bStoredUnknown = unreadable;
    // The day list's Count is read when the day is appended (another copy may have changed
    // it by then), so a start reads the log only once.
    m_bDayListed = stored.has_value();
    return total;
}

// Writes the count under its own day and lists the day when it is new. False, with a
// message for the user, when the log could not be written.
bool TfmMain::WriteWorkTime(String& failure) {
    const char* file = m_strLogFile.c_str();
    auto fail = [&] {
        failure = "Riduduz could not save today's work time to \"" + m_strLogFile +
                  "\": " + winapi::ErrorText(GetLastError()) + ".";
        return false;
    };
    if (m_strLogFile.empty()) {
        SetLastError(ENOENT);
        return fail();
    }
    // Counting began from 0 because the log could not be read: once it can, what it holds
    // for the day is added, never replaced. While it cannot, nothing is written.
    if (m_bStoredUnknown) {
        bool unreadable = false;
        const auto stored =
            worklog::ReadValue(m_strLogFile, worklog::kTimeSection, m_strDay, &unreadable);
        if (unreadable) return fail();
        if (stored) {
            const std::uint64_t sum = std::uint64_t{m_dwWorkSeconds} + worklog::ParseTotal(*stored);
            m_dwWorkSeconds = static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, 0xFFFFFFFFu));
        }
        m_bStoredUnknown = false;
    }
    // Another copy of the program may have listed the day meanwhile.
    const bool listedNow =
        m_bDayListed ||
        worklog::ReadValue(m_strLogFile, worklog::kTimeSection, m_strDay).has_value();
    if (!WritePrivateProfileStringA(worklog::kTimeSection, m_strDay.c_str(),
                                    Formatted("%u", m_dwWorkSeconds).c_str(), file))
        return fail();
    if (listedNow) {
        m_bDayListed = true;
        return true;
    }
    const auto count = static_cast<std::int32_t>(
        GetPrivateProfileIntA(worklog::kDaysSection, "Count", m_nDayCount, file));
    // A hand-edited Count may be below the entries listed: never write over one of them.
    unsigned index = count < 0 ? 0u : static_cast<unsigned>(count);
    while (index < 0xFFFFFFFEu &&
           worklog::ReadValue(m_strLogFile, worklog::kDaysSection, "Day" + Formatted("%u", index)))
        ++index;
    if (!WritePrivateProfileStringA(worklog::kDaysSection, "Count",
                                    Formatted("%u", index + 1).c_str(), file) ||
        !WritePrivateProfileStringA(worklog::kDaysSection, ("Day" + Formatted("%u", index)).c_str(),
                                    m_strDay.c_str(), file))
        return fail();
    m_nDayCount = static_cast<std::int32_t>(index + 1);
    m_bDayListed = true;
    return true;
}

void TfmMain::SaveWorkTime() {
    String failure;
    if (!WriteWorkTime(failure))
        MessageBoxA(Handle(), failure.c_str(), Application->Title().c_str(), MB_OK | MB_ICONERROR);
}

void TfmMain::FormDestroy(TObject*) {
    SaveWorkTime();
}

// A tick belongs to the day it lands in: when the date has moved on, the count so far is
// saved under its own day and counting goes on from the new day's stored total.
void TfmMain::StartNewDayIfDateChanged() {
    if (worklog::TodayKey() == m_strDay) return;
    SaveWorkTime();
    m_nTicksSinceSave = 0;
    m_dwWorkSeconds = LoadWorkTime();
    ShowWorkTime();
}
