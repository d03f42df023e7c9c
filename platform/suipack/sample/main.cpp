// suipack_sample: shows Sample.dfm on the real window system.
//   suipack_sample            the window
//   suipack_sample --menu     the window with its pop-up menu opened after a second
#include "SampleForm.h"

#include <cstring>

int main(int argc, char** argv) {
    vcl::ApplicationScope scope;
    Application->Initialize();
    Application->SetTitle("Skin pack sample");
    TSampleForm* form = nullptr;
    Application->CreateForm(form);
    const bool openMenu = argc > 1 && std::strcmp(argv[1], "--menu") == 0;
    if (openMenu) {
        auto id = std::make_shared<backend::TimerId>(0);
        *id = backend::Current().StartTimer(1000, [form, id] {
            backend::Current().StopTimer(*id);
            form->btnMenu->Click();
        });
    }
    Application->Run();
    return 0;
}
