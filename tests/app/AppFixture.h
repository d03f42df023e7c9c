// The program's main window on the headless backend, in a scratch program folder, with a
// clock the test sets.
#pragma once

#include "Main.h"
#include "backend/headless/HeadlessBackend.h"
#include "winapi/WinApi.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

class AppFixture : public ::testing::Test {
protected:
    AppFixture();
    ~AppFixture() override;

    // Creates the main window as start-up does and shows it.
    void Start();
    // Destroys the application, and with it the main window, as the end of the program does.
    void Stop();

    void SetDate(int year, int month, int day, int hour = 12, int minute = 0);
    std::string LogFile() const { return folder + "/riduduz.ini"; }
    std::string ReadLog() const;
    void WriteLog(const std::string& text) const;

    backend::headless::HeadlessWindow& MainWindow();
    backend::Point Centre(TControl& control);
    void Click(TControl& control);
    // The last message box shown, or nothing.
    std::optional<backend::headless::MessageBoxCall> LastBox() const;

    backend::headless::Headless& fake = backend::headless::Headless::Instance();
    std::string folder; // the program's folder
    SYSTEMTIME now{};
    std::unique_ptr<vcl::ApplicationScope> app;
};
