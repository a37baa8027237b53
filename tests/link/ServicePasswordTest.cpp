#include "core/form/MessageBox.h"
#include "testkit/Rig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

const std::string kPassword = "Servus!QVD24";

// Types the entry into the service dialog and presses Enter.
void Enter(Rig& rig, const std::string& entry) {
    rig.program->serviceGate.ToggleService();
    rig.program->password.entryEdit.SetText(entry);
    char key = '\r';
    rig.program->password.entryEdit.OnKeyPress(key);
    EXPECT_EQ(key, 0);  // taken by the dialog
}

TEST(ServicePassword, OnlyTheFramedPasswordMatches) {
    const auto framed = [](const std::string& text) { return PasswordForm::Frame(text); };
    EXPECT_TRUE(ServicePasswordMatches(framed(kPassword)));
    for (const std::string& entry :
         {kPassword, framed("servus!qvd24"), framed(kPassword.substr(0, 11)), framed(kPassword + "x"), framed(""),
          std::string(), framed(kPassword) + std::string(1, '\0') + "x"})
        EXPECT_FALSE(ServicePasswordMatches(entry)) << entry;
}

TEST(ServicePassword, RightPasswordOpensTheServiceLayoutOnlyForAServiceAdapter) {
    for (bool service : {true, false}) {
        SCOPED_TRACE(service);
        Rig rig(Rig::Connected);
        if (service) rig.program->runner.AdapterIdentified(rig.conn().adapterVersion(), true);
        Enter(rig, "falsch");  // one wrong entry before does not count against it
        ASSERT_TRUE(rig.Poll());
        rig.program->serviceGate.ToggleService();
        EXPECT_EQ(rig.program->password.window.caption, "Servicebereich");
        EXPECT_TRUE(rig.program->password.window.visible && rig.form().window.enabled);  // not modal
        rig.Mark();
        rig.program->password.entryEdit.SetText(kPassword);
        rig.program->password.okButton.OnClick();
        EXPECT_FALSE(rig.program->password.window.visible);
        ASSERT_TRUE(rig.Poll());
        EXPECT_EQ(rig.form().Width(), service ? 920 : 773);
        EXPECT_EQ(rig.form().serviceItem.checked, service);
        EXPECT_EQ(rig.Log(), service ? Lines{} : Lines{"Servicefunktionen 2 verfügbar."});
        if (!service) continue;

        // Service off again: from then on a wrong entry locks out at once.
        rig.program->serviceGate.ToggleService();
        EXPECT_EQ(rig.form().messagePanel.caption, "Servicefunktionen abgeschaltet");
        EXPECT_EQ(rig.form().Width(), 773);
        ASSERT_TRUE(rig.Poll());  // without an entry the high count alone does nothing
        EXPECT_EQ(rig.conn().state(), ConnState::Connected);
        Enter(rig, "falsch");
        rig.host.RunFor(1500);
        EXPECT_EQ(rig.conn().state(), ConnState::Idle);
        EXPECT_TRUE(rig.LogHas("Wiederholte falsche Passworteingabe. Bitte warten..."));
    }
}

TEST(ServicePassword, ThirdWrongEntryLocksOutAndClosesSeventeenSecondsAfterTheBox) {
    Rig rig(Rig::Connected);
    for (int i = 1; i <= 2; ++i) {
        Enter(rig, "falsch");
        rig.Mark();
        ASSERT_TRUE(rig.Poll());
        EXPECT_EQ(rig.program->serviceGate.wrongEntries(), i);
        EXPECT_EQ(rig.Log(), Lines{"Servicefunktionen verfügbar."});  // says nothing to a guesser
        EXPECT_EQ(rig.conn().state(), ConnState::Connected);
    }
    uint64_t closeRequestedAt = 0;
    rig.host.onCloseRequest = [&] {
        closeRequestedAt = rig.host.Time();
        rig.program->RequestClose();
    };
    const int polls = rig.device->polls;
    Enter(rig, "falsch");
    ASSERT_TRUE(rig.host.RunUntil([&] { return rig.host.closeRequests > 0; }, 30000));
    // Only the lock-out's box: the close itself was not refused.
    EXPECT_EQ(rig.Boxes(), Lines{"Wiederholte falsche Passworteingabe. Keine Berechtigung zu dieser Servicefunktion."});
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Warning);
    EXPECT_NEAR(double(closeRequestedAt - rig.host.messages[0].shownAt), 17050, 50);
    EXPECT_TRUE(rig.host.closeRequests == 1 && rig.program->closed);
    // The locked-out tick polls no more; the close released the adapter.
    EXPECT_EQ(rig.device->polls, polls);
    EXPECT_EQ(rig.device->received.back(), "<DF>");
    EXPECT_FALSE(rig.PortOpen());
}

TEST(ServicePassword, EntryIsJudgedOnlyByATickWhileConnected) {
    Rig rig;
    rig.AddAdapter(1);
    rig.StartAndEnumerate();
    Enter(rig, "falsch");
    rig.host.RunFor(3000);
    EXPECT_EQ(rig.program->password.handOverEdit.caption, PasswordForm::Frame("falsch"));
    EXPECT_EQ(rig.program->serviceGate.wrongEntries(), 0);
}

}  // namespace
}  // namespace qvd::test
