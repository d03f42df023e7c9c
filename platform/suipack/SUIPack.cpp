#include "suipack/SUIPack.h"

namespace suipack {

void RegisterClasses() {
    vcl::RegisterClass(TsuiForm::StaticClassInfo());
    vcl::RegisterClass(TsuiPanel::StaticClassInfo());
    vcl::RegisterClass(TsuiButton::StaticClassInfo());
    vcl::RegisterClass(TsuiPopupMenu::StaticClassInfo());
}

} // namespace suipack
