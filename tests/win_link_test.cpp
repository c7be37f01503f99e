// The printer link on Windows (run under Wine by scripts/test-windows) against the simulated
// printer on COM ports, with the production pacing: identification, sequence, refusal.
#include "link/ecf_link.h"
#include "serial/system.h"
#include "tests/support/win_ports.h"
#include "vocab/error_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <windows.h>

namespace {

// The identity that scripts/test-windows gives the simulator on KESTRO_WIN_SIM_PORT; the one on
// KESTRO_WIN_REFUSING_PORT refuses every frame with the pair 1, 2.
const char kModel[] = "KESTRO SIM";
const char kSerialNumber[] = "BE0123456789";
const char kBasicSoftware[] = "010203";
constexpr int kRefusedClass = 1;
constexpr int kRefusedDetail = 2;

class WinLink : public ::testing::Test {
protected:
    // Sends one command with its parameters; returns SendCmd's result.
    int Send(EcfLink& link, uint8_t command, std::vector<int32_t> params)
    {
        link.SetCmd(command, 0);
        for (int32_t value : params)
            link.AddParam(value);
        return link.SendCmd();
    }

    // Collects the whole response or stops at the first failure; returns the last result.
    int ReadResponse(EcfLink& link, std::string& data)
    {
        for (;;) {
            const int result = link.GetResp(block.data());
            if (result >= 0)
                data.append(reinterpret_cast<const char*>(block.data()), static_cast<size_t>(result));
            else if (result != EcfLink::kRespMore && result != EcfLink::kRespBusy)
                return result;
        }
    }

    // One identification query as the window makes it, wrapped in Start and End.
    std::string Identify(EcfLink& link, int32_t what)
    {
        std::string data;
        EXPECT_TRUE(link.Start());
        EXPECT_EQ(Send(link, 26, {15, what}), EcfLink::kAck) << "query " << what;
        EXPECT_EQ(ReadResponse(link, data), EcfLink::kRespEnd) << "query " << what;
        link.End();
        return data;
    }

    std::vector<uint8_t> block = std::vector<uint8_t>(EcfLink::kBufferSize);
};

}  // namespace

TEST_F(WinLink, IdentifiesThePrinter)
{
    REQUIRE_PORT("KESTRO_WIN_SIM_PORT", sim);
    EcfLink link(ReadPortName(sim));
    ASSERT_TRUE(link.online()) << "error " << link.LastError();
    EXPECT_EQ(Identify(link, 2), std::string(kModel) + "|");
    EXPECT_EQ(Identify(link, 4), std::string(kSerialNumber) + "|");
    EXPECT_EQ(Identify(link, 14), std::string(kBasicSoftware) + "|");
}

TEST_F(WinLink, EveryNewLinkSynchronisesBeforeItsFrame)
{
    REQUIRE_PORT("KESTRO_WIN_SIM_PORT", sim);
    // Each link sends SYN before its first frame and takes the printer's number; a frame sent
    // with a stale number would be refused.
    for (int round = 0; round < 2; ++round) {
        EcfLink link(ReadPortName(sim));
        ASSERT_TRUE(link.online()) << "round " << round;
        for (int command = 0; command < 3; ++command) {
            ASSERT_TRUE(link.Start());
            ASSERT_EQ(Send(link, 20, {0}), EcfLink::kAck) << "round " << round << ", command " << command;
            std::string data;
            EXPECT_EQ(ReadResponse(link, data), EcfLink::kRespEnd);
            link.End();
        }
    }
}

TEST_F(WinLink, RefusedCommandGivesThePrintersPair)
{
    REQUIRE_PORT("KESTRO_WIN_REFUSING_PORT", refusing);
    EcfLink link(ReadPortName(refusing));
    ASSERT_TRUE(link.online());
    ASSERT_TRUE(link.Start());
    EXPECT_EQ(Send(link, 20, {0}), EcfLink::kRefused);
    EXPECT_EQ(link.ErrClass(), kRefusedClass);
    EXPECT_EQ(link.ErrDetail(), kRefusedDetail);
    EXPECT_EQ(link.GetError(), ErrorText(kRefusedClass, kRefusedDetail));
    link.End();
}

TEST_F(WinLink, MissingPortLeavesTheLinkOffline)
{
    REQUIRE_PORT("KESTRO_WIN_MISSING_PORT", missing);
    EcfLink link(ReadPortName(missing));
    EXPECT_FALSE(link.online());
    EXPECT_EQ(link.DevicePath(), "\\\\.\\" + missing);
    EXPECT_TRUE(link.LastError() == ERROR_FILE_NOT_FOUND || link.LastError() == ERROR_PATH_NOT_FOUND)
        << "error " << link.LastError();
    EXPECT_FALSE(link.Start());
}

// Under Wine a read goes on succeeding with nothing once the line behind the COM port hangs up;
// the port's state (ClearCommError) and a write report it.
TEST_F(WinLink, FarEndHangingUpIsALostLineAtOnce)
{
    REQUIRE_PORT("KESTRO_WIN_HANGUP_PORT", hangingUp);
    int polls = 0;
    LinkPacing pacing;
    pacing.wait = [&polls](std::chrono::milliseconds step) {
        ++polls;
        Sleep(static_cast<DWORD>(step.count()));
    };
    EcfLink link(ReadPortName(hangingUp), pacing);
    ASSERT_TRUE(link.online()) << "error " << link.LastError();
    EXPECT_EQ(Send(link, 20, {0}), EcfLink::kNoAnswer);  // the far end hangs up at the SYN
    EXPECT_EQ(link.GetError(), "Porta serial desconectada");
    EXPECT_LT(polls, 10) << "the answer's wait is 120 polls";
    link.End();
}
