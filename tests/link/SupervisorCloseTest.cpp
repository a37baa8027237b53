#include "core/form/MessageBox.h"
#include "link/ConnectedRig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qvd::test {
namespace {

std::vector<std::string> WithoutPolls(std::vector<std::string> commands) {
    commands.erase(std::remove(commands.begin(), commands.end(), "r"), commands.end());
    return commands;
}

TEST(SupervisorClose, RefusedDuringATransferOrWhileAnOperationHoldsTheLock) {
    struct Case { const char* name; ConnState state; bool busy; };
    const Case cases[] = {
        {"file read", ConnState::FileRead, false},
        {"RAM view", ConnState::RamViewRead, false},
        {"EPROM view", ConnState::EpromViewRead, false},
        {"busy lock", ConnState::Connected, true},
    };
    for (const Case& c : cases) {
        ConnectedRig rig;
        rig.conn().state = c.state;
        if (c.busy) rig.form().EnableControls(false);
        const size_t sent = rig.device.received.size();
        EXPECT_FALSE(rig.program->RequestClose()) << c.name;
        ASSERT_EQ(rig.host.messages.size(), 1u) << c.name;
        EXPECT_EQ(rig.host.messages[0].title, kWindowCaption);
        EXPECT_EQ(rig.host.messages[0].text, "QVD-Modul Kommunikation\r\rDatentransfer...") << c.name;
        EXPECT_EQ(rig.host.messages[0].icon, MessageIcon::Error) << c.name;
        EXPECT_EQ(rig.conn().state, c.state) << c.name;
        EXPECT_TRUE(rig.PortOpen()) << c.name;
        EXPECT_EQ(rig.device.received.size(), sent) << c.name;
        EXPECT_EQ(rig.form().alpha, 255) << c.name;
    }
}

TEST(SupervisorClose, ReleasesTheAdapterClosesThePortAndFades) {
    struct Case { uint8_t type; std::vector<std::string> sent; };
    const Case cases[] = {{8, {"a0000", "<DF>"}}, {1, {"<DF>"}}};
    for (const Case& c : cases) {
        sim::DeviceConfig config;
        config.moduleType = c.type;
        ConnectedRig rig(config);
        const size_t sent = rig.device.received.size();
        ASSERT_TRUE(rig.program->supervisor.FormCloseQuery());
        std::vector<int> fade;
        rig.form().onChanged = [&] { fade.push_back(rig.form().alpha); };
        rig.program->supervisor.FormClose();
        EXPECT_EQ(WithoutPolls(rig.Received(1, sent)), c.sent) << int(c.type);
        EXPECT_FALSE(rig.PortOpen());
        EXPECT_EQ(rig.conn().state, ConnState::Idle);
        EXPECT_FALSE(rig.form().Timer1.Enabled());
        ASSERT_EQ(fade.size(), 171u);
        for (size_t i = 0; i < fade.size(); ++i) EXPECT_EQ(fade[i], 255 - static_cast<int>(i));
        EXPECT_TRUE(rig.host.messages.empty());
    }
}

TEST(SupervisorClose, SecondRequestDuringTheCloseDoesNotCloseTwice) {
    ConnectedRig rig;
    int fades = 0;
    rig.form().onChanged = [&] { if (rig.form().alpha == 85) ++fades; };
    rig.host.After(500, [&] { rig.host.CloseMainWindow(); });
    ASSERT_TRUE(rig.program->RequestClose());
    rig.host.RunFor(2000);
    EXPECT_EQ(rig.host.closeRequests, 1);
    EXPECT_EQ(fades, 1);
}

}  // namespace
}  // namespace qvd::test
