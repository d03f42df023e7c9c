#include "AppFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

AppFixture::AppFixture() {
    fake.Reset();
    char pattern[] = "/tmp/riduduz-app-XXXXXX";
    folder = mkdtemp(pattern);
    winapi::SetModuleFileNameOverride(folder + "/riduduz");
    SetDate(2009, 6, 9);
    winapi::SetLocalTimeSource([this] { return now; });
    app = std::make_unique<vcl::ApplicationScope>();
}

AppFixture::~AppFixture() {
    app.reset();
    fmMain = nullptr;
    winapi::SetLocalTimeSource({});
    winapi::SetModuleFileNameOverride("");
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder, ignored);
    fake.Reset();
}

void AppFixture::Start() {
    Application->Initialize();
    Application->SetTitle("Riduduz");
    Application->CreateForm(fmMain);
    fmMain->Show();
}

void AppFixture::Stop() {
    app.reset();
    fmMain = nullptr;
}

void AppFixture::SetDate(int year, int month, int day, int hour, int minute) {
    now = {};
    now.wYear = static_cast<WORD>(year);
    now.wMonth = static_cast<WORD>(month);
    now.wDay = static_cast<WORD>(day);
    now.wHour = static_cast<WORD>(hour);
    now.wMinute = static_cast<WORD>(minute);
}

std::string AppFixture::ReadLog() const {
    std::ifstream in(LogFile(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void AppFixture::WriteLog(const std::string& text) const {
    std::ofstream(LogFile(), std::ios::binary) << text;
}

backend::headless::HeadlessWindow& AppFixture::MainWindow() {
    return *static_cast<backend::headless::HeadlessWindow*>(fmMain->NativeWindow());
}

backend::Point AppFixture::Centre(TControl& control) {
    const backend::Point at = control.FormOffset();
    return {at.x + control.Width() / 2, at.y + control.Height() / 2};
}

void AppFixture::Click(TControl& control) {
    fake.Click(MainWindow(), Centre(control));
}

std::optional<backend::headless::MessageBoxCall> AppFixture::LastBox() const {
    if (fake.MessageBoxes().empty()) return std::nullopt;
    return fake.MessageBoxes().back();
}
