#include "SampleForm.h"

void TSampleForm::FormClose(TObject*, TCloseAction&) {
    ++closes;
}

// Opens the menu under the button, as the program's Menu button does.
void TSampleForm::btnMenuClick(TObject*) {
    const backend::Rect screen = ScreenBounds();
    const backend::Point at = btnMenu->FormOffset();
    pmMain->Popup(screen.x + at.x, screen.y + at.y + btnMenu->Height());
}

void TSampleForm::btnStartClick(TObject*) {
    ++startClicks;
}
void TSampleForm::btnQuitClick(TObject*) {
    ++quitClicks;
}
void TSampleForm::btnDisabledClick(TObject*) {
    ++disabledClicks;
}
void TSampleForm::pmiExitClick(TObject*) {
    Close();
}

const vcl::PublishedTable& TSampleForm::Published() {
    using F = TSampleForm;
    static const vcl::PublishedTable table(
        "TSampleForm",
        {vcl::Field("suiForm", &F::suiForm), vcl::Field("pnlTop", &F::pnlTop),
         vcl::Field("btnMenu", &F::btnMenu), vcl::Field("btnStart", &F::btnStart),
         vcl::Field("btnQuit", &F::btnQuit), vcl::Field("btnDisabled", &F::btnDisabled),
         vcl::Field("pmMain", &F::pmMain), vcl::Field("pmiStart", &F::pmiStart),
         vcl::Field("pmiReset", &F::pmiReset), vcl::Field("N1", &F::N1),
         vcl::Field("pmiExit", &F::pmiExit)},
        {vcl::Method("FormClose", &F::FormClose), vcl::Method("btnMenuClick", &F::btnMenuClick),
         vcl::Method("btnStartClick", &F::btnStartClick),
         vcl::Method("btnQuitClick", &F::btnQuitClick),
         vcl::Method("btnDisabledClick", &F::btnDisabledClick),
         vcl::Method("pmiExitClick", &F::pmiExitClick)});
    return table;
}
