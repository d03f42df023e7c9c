// Shared by the skin-pack tests: the sample form (Sample.dfm) shown on the headless
// backend, with small generated pictures registered under the BlueGlass names.
#pragma once

#include "SampleForm.h"
#include "backend/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// A fresh application and the sample form, shown and fully painted; the list of areas to
// repaint is empty when a test starts.
class SuiFixture : public ::testing::Test {
protected:
    SuiFixture();
    ~SuiFixture() override;

    backend::headless::HeadlessWindow& Window() const;
    // The open pop-up window, or null.
    backend::headless::HeadlessWindow* PopupWindow() const;
    // Runs `steps` one per idle turn of the nested loops a test starts (menus, modal forms).
    void Script(std::vector<std::function<void()>> steps);

    // A control's rectangle in the form's client area, and its centre.
    static backend::Rect InForm(const TControl& c, const backend::Rect& local);
    static backend::Rect InForm(const TControl& c) { return InForm(c, c.ClientRect()); }
    static backend::Point Centre(const backend::Rect& r) {
        return {r.x + r.width / 2, r.y + r.height / 2};
    }

    // True when something was invalidated and all of it was `area`.
    static bool OnlyArea(const std::vector<backend::Rect>& invalidated, const backend::Rect& area);

    backend::headless::Headless& fake = backend::headless::Headless::Instance();
    std::optional<vcl::ApplicationScope> app;
    TSampleForm* form = nullptr;
    TsuiForm* sui = nullptr;
};
