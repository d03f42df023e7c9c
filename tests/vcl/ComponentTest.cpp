#include "TestForm.h"

namespace {

std::vector<std::string> g_destroyed;

class TLogged : public TComponent {
public:
    TLogged(TComponent* owner, std::string tag) : TComponent(owner), m_tag(std::move(tag)) {
        SetName(m_tag);
    }
    ~TLogged() override { g_destroyed.push_back(m_tag); }

private:
    std::string m_tag;
};

} // namespace

TEST(Component, OwnerDestroysItsComponentsLastCreatedFirst) {
    g_destroyed.clear();
    auto* root = new TLogged(nullptr, "root");
    auto* a = new TLogged(root, "a");
    new TLogged(a, "a1");
    new TLogged(root, "b");
    new TLogged(root, "c");
    EXPECT_EQ(root->ComponentCount(), 3);
    TObject::Free(root);
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"root", "c", "b", "a", "a1"}));
}

TEST(Component, ComponentFreedEarlyLeavesItsOwner) {
    g_destroyed.clear();
    auto* root = new TLogged(nullptr, "root");
    auto* a = new TLogged(root, "Alpha");
    new TLogged(root, "Beta");
    EXPECT_EQ(root->FindComponent("alpha"), a);
    EXPECT_EQ(root->FindComponent("gamma"), nullptr);
    EXPECT_EQ(root->FindComponent(""), nullptr);
    TObject::Free(a);
    EXPECT_EQ(root->ComponentCount(), 1);
    EXPECT_EQ(root->FindComponent("Alpha"), nullptr);
    TObject::Free(root);
    EXPECT_EQ(g_destroyed, (std::vector<std::string>{"Alpha", "root", "Beta"}));
}

TEST(Component, AliveTurnsFalseWhenDestroyed) {
    auto* c = new TComponent(nullptr);
    auto alive = c->Alive();
    EXPECT_FALSE(alive.expired());
    TObject::Free(c);
    EXPECT_TRUE(alive.expired());
}

using Deferred = VclFixture;

// A form that frees itself from inside its own handler is destroyed on the next turn of
// the loop, after the handler has returned.
TEST_F(Deferred, FormFreedInsideItsHandlerGoesOnTheNextTurn) {
    TTestForm* form = MakeForm();
    form->Show();
    auto alive = form->Alive();
    form->closeAction = TCloseAction::caFree;
    bool aliveAfterClose = false;
    form->onOne = [&] {
        form->Close();
        aliveAfterClose = !alive.expired();
        form->log.push_back("after close"); // touching the form here must be safe
    };
    fake.Click(WindowOf(*form), Centre(*form->btnOne));
    EXPECT_TRUE(aliveAfterClose);
    EXPECT_FALSE(alive.expired());
    fake.Pump();
    EXPECT_TRUE(alive.expired());
}

TEST_F(Deferred, ReleaseOfAFormFreedMeanwhileDoesNothing) {
    TTestForm* form = MakeForm();
    form->Release();
    TObject::Free(form);
    fake.Pump(); // must not touch the freed form
    SUCCEED();
}
