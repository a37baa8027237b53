#include "core/form/MessageBox.h"
#include "link/ConnectedRig.h"

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

const std::string kPassword = "Servus!QVD24";

// Types the entry into the service dialog and presses OK.
void Enter(Rig& rig, const std::string& entry) {
    rig.program->supervisor.Service1Click();
    rig.program->password.Edit1.SetText(entry);
    rig.program->password.Button1.OnClick();
}

TEST(ServicePassword, OnlyTheFramedPasswordMatches) {
    struct Case { std::string entry; bool match; };
    const Case cases[] = {
        {PasswordForm::Frame(kPassword), true},
        {kPassword, false},  // without the frame
        {PasswordForm::Frame("servus!qvd24"), false},
        {PasswordForm::Frame(kPassword.substr(0, 11)), false},
        {PasswordForm::Frame(kPassword + "x"), false},
        {PasswordForm::Frame(""), false},
        {"", false},
        {PasswordForm::Frame(kPassword) + std::string(1, '\0') + "x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ServicePasswordMatches(c.entry), c.match) << c.entry;
}

TEST(ServicePassword, RightPasswordOpensTheServiceLayoutOnlyForAServiceAdapter) {
    struct Case { bool serviceAdapter; int width; bool ticked; int32_t count; const char* log; };
    const Case cases[] = {
        {true, 920, true, 143, nullptr},
        {false, 773, false, 1, "Servicefunktionen 2 verfügbar."},
    };
    for (const Case& c : cases) {
        ConnectedRig rig;
        rig.conn().serviceAdapter = c.serviceAdapter;
        rig.conn().wrongPasswordCount = 1;
        rig.program->supervisor.Service1Click();
        EXPECT_TRUE(rig.program->password.window.visible);
        EXPECT_EQ(rig.program->password.window.caption, "Servicebereich");
        EXPECT_TRUE(rig.form().window.enabled);  // not modal
        const size_t log = rig.LogSize();
        rig.program->password.Edit1.SetText(kPassword);
        rig.program->password.Button1.OnClick();
        ASSERT_TRUE(rig.Poll());
        EXPECT_EQ(rig.form().Width(), c.width);
        EXPECT_EQ(rig.form().Service1.checked, c.ticked);
        EXPECT_EQ(rig.conn().wrongPasswordCount, c.count);
        EXPECT_EQ(rig.LogSince(log), c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{});
        EXPECT_EQ(rig.program->password.Edit2.caption, "");
    }
}

TEST(ServicePassword, AfterServiceOffAWrongEntryLocksOutAtOnce) {
    ConnectedRig rig;
    rig.conn().serviceAdapter = true;
    Enter(rig, kPassword);
    ASSERT_TRUE(rig.Poll());
    ASSERT_TRUE(rig.form().Service1.checked);

    rig.program->supervisor.Service1Click();
    EXPECT_EQ(rig.form().StatusPanel1.caption, "Servicefunktionen abgeschaltet");
    EXPECT_EQ(rig.form().Width(), 773);
    EXPECT_FALSE(rig.form().Service1.checked);
    // Without an entry the high count alone does nothing.
    ASSERT_TRUE(rig.Poll());
    EXPECT_EQ(rig.conn().state, ConnState::Connected);

    Enter(rig, "falsch");
    rig.host.RunFor(1500);
    EXPECT_EQ(rig.conn().state, ConnState::Idle);
    EXPECT_TRUE(rig.LogContains("Wiederholte falsche Passworteingabe. Bitte warten..."));
}

TEST(ServicePassword, ThirdWrongEntryLocksOutAndClosesSeventeenSecondsAfterTheBox) {
    ConnectedRig rig;
    for (int i = 1; i <= 2; ++i) {
        Enter(rig, "falsch" + std::to_string(i));
        const size_t log = rig.LogSize();
        ASSERT_TRUE(rig.Poll());
        EXPECT_EQ(rig.conn().wrongPasswordCount, i);
        EXPECT_EQ(rig.LogSince(log), std::vector<std::string>{"Servicefunktionen verfügbar."});
        EXPECT_EQ(rig.conn().state, ConnState::Connected);
    }
    uint64_t closeRequestedAt = 0;
    rig.host.onCloseRequest = [&] {
        closeRequestedAt = rig.host.Time();
        rig.program->RequestClose();
    };
    const int polls = rig.device.polls;
    Enter(rig, "falsch3");
    ASSERT_TRUE(rig.host.RunUntil([&] { return rig.host.closeRequests > 0; }, 30000));
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_EQ(rig.host.messages[0].text,
              "Wiederholte falsche Passworteingabe. Keine Berechtigung zu dieser Servicefunktion.");
    EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(rig.host.closeRequests, 1);
    EXPECT_TRUE(rig.program->closed);
    const uint64_t afterBox = closeRequestedAt - rig.host.messages[0].shownAt;
    EXPECT_GE(afterBox, 17000u);
    EXPECT_LE(afterBox, 17100u);
    EXPECT_EQ(rig.form().Memo1.color, colors::Red);
    EXPECT_FALSE(rig.form().Button7.enabled);
    // The locked-out tick polls no more; the close released the adapter.
    EXPECT_EQ(rig.device.polls, polls);
    EXPECT_EQ(rig.device.received.back(), "<DF>");
    EXPECT_FALSE(rig.PortOpen());
    EXPECT_EQ(rig.host.messages.size(), 1u);  // the close itself was not refused
    EXPECT_EQ(rig.form().alpha, 85);
}

TEST(ServicePassword, EntryWaitsUntilATickWhileConnected) {
    Rig rig;
    rig.AddAdapter(1);
    rig.StartAndEnumerate();
    Enter(rig, "falsch");
    EXPECT_FALSE(rig.program->password.window.visible);
    rig.host.RunFor(3000);
    EXPECT_FALSE(rig.program->password.Edit2.caption.empty());
    EXPECT_EQ(rig.conn().wrongPasswordCount, 0);

    rig.EnterConnected(1);
    rig.host.RunFor(1000);
    EXPECT_TRUE(rig.program->password.Edit2.caption.empty());
    EXPECT_EQ(rig.conn().wrongPasswordCount, 1);
    EXPECT_TRUE(rig.LogContains("Servicefunktionen verfügbar."));
}

}  // namespace
}  // namespace qvd::test
