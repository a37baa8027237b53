// The whole program against qvd-sim over a pseudo-terminal with the real
// termios backend, in real time: start-up, enumeration, search, connected,
// polls.
#include "core/host/RealTimeHost.h"
#include "core/program/Program.h"
#include "core/serial/PortNames.h"
#include "core/serial/TermiosTransport.h"
#include "sim/SimProcess.h"
#include "support/Rig.h"

#ifdef QVD_SIM_PATH

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(EndToEnd, FindsTheVirtualAdapterAndPollsIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--type", "2"}));  // paced at the line rate, as a real adapter
    const std::string pattern = sim.link.parent_path().string() + "/COM%d";

    RealTimeHost host;
    Program program(host, TermiosTransports(host), [pattern](int n) { return DevicePathForPort(n, pattern); });
    host.onCloseRequest = [&] { program.RequestClose(); };
    MainForm& form = program.form;

    program.Start();
    ASSERT_EQ(host.messages.size(), 1u);  // the notice
    ASSERT_TRUE(host.RunUntil([&] { return program.conn.state == ConnState::Idle; }, 10000));
    EXPECT_TRUE(Has(form.logMemo.lines, "Vorhanden: COM 1"));
    EXPECT_TRUE(Has(form.logMemo.lines, "OK"));
    ASSERT_TRUE(form.searchButton.enabled);

    form.searchButton.OnClick();
    ASSERT_EQ(program.conn.state, ConnState::Connected) << form.logMemo.Text();
    EXPECT_EQ(form.portPanel.caption, "COM: 1");
    EXPECT_EQ(form.moduleNamePanel.caption, "NSM Modul 25.x");
    EXPECT_EQ(form.Height(), kConnectedHeight);
    EXPECT_EQ(form.clockDisplay.caption.size(), 20u) << form.clockDisplay.caption;
    EXPECT_EQ(form.infoMemo.lines.size(), 14u) << form.infoMemo.Text();

    // Three polls: the controls come back and every poll is answered.
    host.RunFor(3300);
    EXPECT_EQ(program.conn.state, ConnState::Connected);
    EXPECT_TRUE(form.clockReadButton.enabled);
    EXPECT_EQ(form.messagePanel.caption, "OK");
    EXPECT_EQ(program.conn.noAnswerCount, 0);

    // Disconnect, then close as the user would.
    form.disconnectButton.OnClick();
    EXPECT_TRUE(program.RequestClose());
    EXPECT_FALSE(program.serialPort.Active());
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(sim.Stderr(), "");
}

}  // namespace
}  // namespace qvd::test

#endif  // QVD_SIM_PATH
