#include "core/form/MainForm.h"
#include "core/form/OtherForms.h"
#include "core/host/VirtualHost.h"

#include <gtest/gtest.h>

namespace qvd {
namespace {

struct FormRig {
    VirtualHost host;
    EventPump pump{host};
    MainForm form{pump};
    AboutForm about;
    PasswordForm password;
    JumperHelpForm jumper;
    FormRig() {
        form.about = &about;
        form.password = &password;
        form.jumperHelp = &jumper;
    }
};

TEST(MessageLog, ErrorColoursStayAndThePanelShowsTheLastMessage) {
    FormRig rig;
    rig.form.LogError("x");
    rig.form.LogInfo("y");
    EXPECT_EQ(rig.form.Memo1.lines, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(rig.form.Memo1.color, colors::Red);
    EXPECT_EQ(rig.form.Memo1.fontColor, colors::Yellow);
    EXPECT_EQ(rig.form.StatusPanel1.caption, "y");
    rig.form.LogError("boom");
    rig.form.LogLine("just a line");
    EXPECT_EQ(rig.form.StatusPanel1.caption, "boom");
    rig.form.LogInfo("a\rb\r\nc");
    EXPECT_EQ(rig.form.Memo1.lines.size(), 7u);
    EXPECT_EQ(rig.form.Memo1.lines.back(), "c");
    EXPECT_EQ(rig.form.StatusPanel1.caption, "a b c");
}

TEST(BusyLock, SwitchesExactlyTheOperationControls) {
    FormRig rig;
    MainForm& f = rig.form;
    const std::vector<Control*> operation = {
        &f.Button2, &f.Button4, &f.Button7, &f.Button30, &f.Button8, &f.Button12, &f.Button6,
        &f.Button9, &f.Button10, &f.Button11, &f.Button13, &f.Button14, &f.Button15, &f.Button16,
        &f.Button17, &f.Button18, &f.Button20, &f.Button21, &f.Button22, &f.GroupBox8, &f.Info1,
        &f.Extr, &f.Panel5, &f.window};
    f.EnableControls(true);
    for (Control* c : operation) EXPECT_TRUE(c->enabled) << c->name;
    EXPECT_EQ(f.StatusBar2.color, colors::MoneyGreen);
    EXPECT_FALSE(f.CheckBox14.enabled);  // not offered by a search yet
    rig.about.window.visible = rig.jumper.window.visible = rig.password.window.visible = true;

    f.EnableControls(false);
    for (Control* c : operation) EXPECT_FALSE(c->enabled) << c->name;
    for (Control* c : {&f.Button3, &f.Button1, &f.Button5}) EXPECT_FALSE(c->enabled) << c->name;
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_EQ(f.StatusBar2.color, colors::Yellow);
    EXPECT_FALSE(rig.about.window.visible);
    EXPECT_FALSE(rig.jumper.window.visible);
    EXPECT_FALSE(rig.password.window.visible);
    // Controls outside the lock keep their state.
    EXPECT_TRUE(f.Edit2.enabled);
    EXPECT_TRUE(f.Service1.enabled);

    // Once offered, the adp switch follows the lock.
    f.adpSwitchOffered = true;
    f.EnableOperationControls(true);
    EXPECT_TRUE(f.CheckBox14.enabled);
    f.EnableOperationControls(false);
    EXPECT_FALSE(f.CheckBox14.enabled);
}

TEST(ExtraFunctions, GroupsByModuleType) {
    struct Case { int type; bool rtc, timekeeper; };
    for (Case c : {Case{1, true, false}, Case{4, true, false}, Case{2, false, true},
                   Case{3, false, true}, Case{8, false, false}, Case{0, false, false}}) {
        FormRig rig;
        MainForm& f = rig.form;
        f.CheckBox3.checked = true;
        f.ApplyExtraFunctions(c.type);
        EXPECT_TRUE(f.GroupBox1.visible && f.Button12.visible && f.Panel5.visible);
        EXPECT_EQ(f.GroupBox2.visible, c.rtc) << c.type;
        EXPECT_EQ(f.GroupBox3.visible, c.timekeeper) << c.type;
        f.CheckBox3.checked = false;
        f.ApplyExtraFunctions(c.type);
        for (Control* g : {&f.GroupBox1, &f.Button12, &f.Panel5, &f.GroupBox2, &f.GroupBox3})
            EXPECT_FALSE(g->visible) << g->name;
    }
}

TEST(PasswordDialog, HandsOverTheFramedEntryAndCloses) {
    PasswordForm dialog;
    dialog.window.visible = true;
    dialog.Edit1.SetText("geheim");
    char enter = '\r';
    dialog.Edit1.OnKeyPress(enter);
    EXPECT_EQ(enter, 0);
    EXPECT_EQ(dialog.Edit2.caption, PasswordForm::Frame("geheim"));
    EXPECT_NE(dialog.Edit2.caption, "geheim");
    EXPECT_EQ(dialog.Edit1.caption, "");
    EXPECT_FALSE(dialog.window.visible);
}

}  // namespace
}  // namespace qvd
