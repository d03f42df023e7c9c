#include "AppFixture.h"

#include "About.h"

#include <fstream>
#include <sstream>

using About = AppFixture;

TEST_F(About, EachOpeningMakesAFreshBoxThatGoesAwayAndTicksGoOn) {
    Start();
    std::vector<const void*> boxes;
    int turns = 0;
    fake.SetIdle([&] {
        backend::headless::HeadlessWindow* box = fake.ActiveWindow();
        ASSERT_TRUE(box && box->Title() == "About Riduduz");
        boxes.push_back(box);
        EXPECT_EQ(box->Bounds().width, 496);
        EXPECT_EQ(box->Bounds().height, 331);
        EXPECT_TRUE(box->Spec().modal);
        if (++turns % 2) return fake.Advance(3000);
        fake.Key(*box, turns == 2 ? "Return" : "Escape");
    });
    fmMain->pmiAbout->Click();
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:03");
    EXPECT_EQ(MainWindow().Title(), "My Riduduz - 00:00:03");
    EXPECT_EQ(fmMain->ComponentCount(), fmMain->ComponentCount());
    const int owned = fmMain->ComponentCount();
    fmMain->pmiAbout->Click();
    EXPECT_EQ(fmMain->ComponentCount(), owned) << "the box is destroyed after its run";
    EXPECT_EQ(fmAbout, nullptr);
    EXPECT_EQ(fake.FindWindow("About Riduduz"), nullptr);
    fake.Advance(1000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:07");
}

TEST_F(About, OkAndTheSkinnedCloseCloseTheBox) {
    Start();
    for (const char* how : {"ok", "close"}) {
        SCOPED_TRACE(how);
        fake.SetIdle([&] {
            backend::headless::HeadlessWindow* box = fake.ActiveWindow();
            ASSERT_TRUE(box && box->Title() == "About Riduduz");
            TfmAbout* about = nullptr;
            for (int i = 0; i < fmMain->ComponentCount(); ++i)
                if (auto* a = dynamic_cast<TfmAbout*>(fmMain->Components(i))) about = a;
            ASSERT_NE(about, nullptr);
            if (std::string(how) == "ok") {
                const backend::Point at = about->btnOK->FormOffset();
                fake.Click(*box, {at.x + 40, at.y + 13});
            } else {
                const backend::Rect r = about->suiForm1->ButtonRect(
                    about->suiForm1->FindButton(TsuiButtonAction::sbaClose));
                fake.Click(*box, {r.x + r.width / 2, r.y + r.height / 2});
            }
        });
        fmMain->pmiAbout->Click();
        EXPECT_EQ(fake.FindWindow("About Riduduz"), nullptr);
    }
}

TEST_F(About, DescriptionBindsEveryMember) {
    std::ifstream in(RIDUDUZ_SOURCE_DIR "/src/About.dfm");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_TRUE(vcl::UnusedHandlers(TfmAbout::Published(), text.str(), "About.dfm").empty());
    TfmAbout* about = vcl::NewForm<TfmAbout>(nullptr);
    EXPECT_EQ(about->btnOK->Caption(), "&OK");
    EXPECT_EQ(about->Caption(), "About Riduduz");
    EXPECT_EQ(about->imgTitle->Width(), 292);
    EXPECT_EQ(about->imgTitle->Height(), 50);
    TObject::Free(about);
}
