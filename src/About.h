// The About box: the logo, a copyright line, a legal notice and OK. Made on demand by the
// main window's menu and destroyed when it closes; nothing keeps one otherwise.
#pragma once

#include "suipack/SUIPack.h"
#include "vcl/Vcl.h"

class TfmAbout : public TForm {
public: // published: filled by name from the form description
    TsuiForm* suiForm1 = nullptr;
    TLabel* Label2 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TsuiButton* btnOK = nullptr;
    TImage* imgTitle = nullptr;

    explicit TfmAbout(TComponent* Owner) : TForm(Owner) {}
    static const vcl::PublishedTable& Published();
};

extern TfmAbout* fmAbout;
