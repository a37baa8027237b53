// The whole program against qvd-sim over a pseudo-terminal with the real
// termios backend, in real time: start-up, enumeration, search, connected,
// polls.
#include "core/host/RealTimeHost.h"
#include "core/link/Program.h"
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
    EXPECT_TRUE(Has(form.Memo1.lines, "Vorhanden: COM 1"));
    EXPECT_TRUE(Has(form.Memo1.lines, "OK"));
    ASSERT_TRUE(form.Button3.enabled);

    form.Button3.OnClick();
    ASSERT_EQ(program.conn.state, ConnState::Connected) << form.Memo1.Text();
    EXPECT_EQ(form.StatusPanel0.caption, "COM: 1");
    EXPECT_EQ(form.StatusPanel3.caption, "NSM Modul 25.x");
    EXPECT_EQ(form.Height(), kConnectedHeight);
    EXPECT_EQ(form.Panel3.caption.size(), 20u) << form.Panel3.caption;
    EXPECT_EQ(form.Memo2.lines.size(), 14u) << form.Memo2.Text();

    // Three polls: the controls come back and every poll is answered.
    host.RunFor(3300);
    EXPECT_EQ(program.conn.state, ConnState::Connected);
    EXPECT_TRUE(form.Button7.enabled);
    EXPECT_EQ(form.StatusPanel1.caption, "OK");
    EXPECT_EQ(program.conn.noAnswerCount, 0);

    // Disconnect, then close as the user would.
    form.Button5.OnClick();
    EXPECT_TRUE(program.RequestClose());
    EXPECT_FALSE(program.VaComm1.Active());
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_EQ(sim.Stderr(), "");
}

}  // namespace
}  // namespace qvd::test

#endif  // QVD_SIM_PATH
