#include "About.h"

TfmAbout* fmAbout = nullptr;

const vcl::PublishedTable& TfmAbout::Published() {
    using vcl::Field;
    static const vcl::PublishedTable table(
        "TfmAbout",
        {Field("suiForm1", &TfmAbout::suiForm1), Field("Label2", &TfmAbout::Label2),
         Field("GroupBox1", &TfmAbout::GroupBox1), Field("Label1", &TfmAbout::Label1),
         Field("Label3", &TfmAbout::Label3), Field("Label4", &TfmAbout::Label4),
         Field("Label5", &TfmAbout::Label5), Field("btnOK", &TfmAbout::btnOK),
         Field("imgTitle", &TfmAbout::imgTitle)},
        {});
    return table;
}
