// The adapter diagnosis on device records written as Windows gives them: a driver missing or
// refusing, an erased product id, a working FTDI's two devices, a number kept by an absent adapter
// and the one that moved.
#include "serial/usb_adapters.h"
#include "session/adapter_texts.h"

#include <gtest/gtest.h>

namespace {

const WindowsDevice kCh340NoDriver {"USB\\VID_1A86&PID_7523\\5&2A1B3C4D&0&2",
                                    {"USB\\VID_1A86&PID_7523&REV_0254", "USB\\VID_1A86&PID_7523"},
                                    "USB2.0-Serial",
                                    "USB2.0-Serial",
                                    "",
                                    "",
                                    "",
                                    true,
                                    28};
const WindowsDevice kPl2303Refused {"USB\\VID_067B&PID_2303\\5&1F0E2A&0&1",
                                    {"USB\\Vid_067b&Pid_2303&Rev_0300"},
                                    "Prolific USB-to-Serial Comm Port",
                                    "USB-Serial Controller",
                                    "Prolific",
                                    "Ser2pl",
                                    "COM4",
                                    true,
                                    10};
const WindowsDevice kFtdiUsb {"USB\\VID_0403&PID_6001\\A50285BI",
                              {"USB\\VID_0403&PID_6001&REV_0600"},
                              "USB Serial Converter",
                              "FT232R USB UART",
                              "FTDI",
                              "FTDIBUS",
                              "",
                              true,
                              0};
const WindowsDevice kFtdiPort {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000",
                               {"FTDIBUS\\COMPORT&VID_0403&PID_6001"},
                               "USB Serial Port",
                               "",
                               "FTDI",
                               "FTSER2K",
                               "COM7",
                               true,
                               0};
const WindowsDevice kFtdiErased {"USB\\VID_0403&PID_0000\\5&3A&0&3",
                                 {"USB\\VID_0403&PID_0000&REV_0600"},
                                 "FT232R USB UART",
                                 "FT232R USB UART",
                                 "",
                                 "",
                                 "",
                                 true,
                                 28};
const WindowsDevice kCp210xAbsent {"USB\\VID_10C4&PID_EA60\\0001",
                                   {"USB\\VID_10C4&PID_EA60&REV_0100"},
                                   "Silicon Labs CP210x USB to UART Bridge",
                                   "",
                                   "Silicon Labs",
                                   "silabser",
                                   "COM3",
                                   false,
                                   0};
const WindowsDevice kMouse {"HID\\VID_046D&PID_C077\\7&1&0&0000",
                            {"HID\\VID_046D&PID_C077&REV_7200"},
                            "USB Input Device",
                            "",
                            "",
                            "HidUsb",
                            "",
                            true,
                            0};

struct Expected {
    std::string port, chip, serial;
    int revision;
    std::string problem, brief;
    AdapterProblem kind = AdapterProblem::kNone;
};

struct Case {
    const char* name;
    std::vector<WindowsDevice> devices;
    std::vector<Expected> reports;
};

const Case kCases[] = {
    {"no driver",
     {kCh340NoDriver, kMouse},
     {{"", "WCH CH340", "", 0x0254,
       "Adaptador WCH CH340 (1A86:7523) sem driver (código 28): instale o driver do fabricante do adaptador e "
       "conecte-o de novo.",
       "adaptador WCH CH340 sem driver (código 28)", AdapterProblem::kNoDriver}}},
    {"refused chip",
     {kPl2303Refused},
     {{"COM4", "Prolific PL2303", "", 0x0300,
       "Adaptador Prolific PL2303 (067B:2303) recusado pelo driver (código 10): o driver atual não aceita este "
       "chip, antigo ou falsificado; use outro adaptador (FTDI, CP210x) ou o driver anterior do fabricante.",
       "adaptador Prolific PL2303 recusado pelo driver (código 10)", AdapterProblem::kChipRefused}}},
    {"working FTDI, one adapter of two devices",
     {kFtdiUsb, kFtdiPort},
     {{"COM7", "FTDI FT232R", "A50285BI", 0x0600, "", ""}}},
    {"product id erased",
     {kFtdiErased},
     {{"", "FTDI", "", 0x0600,
       "Adaptador FTDI (0403:0000) com o código de produto apagado: o driver do fabricante o reprogramou por ser "
       "um chip falsificado; use outro adaptador.",
       "adaptador FTDI com o código de produto apagado", AdapterProblem::kErasedProductId}}},
    {"number kept by an absent adapter",
     {kCp210xAbsent},
     {{"COM3", "Silicon Labs CP210x", "0001", 0x0100,
       "COM3: reservada pelo adaptador Silicon Labs CP210x ausente (número de série 0001)",
       "COM3: reservada pelo adaptador Silicon Labs CP210x ausente (número de série 0001)",
       AdapterProblem::kReserved}}},
};

TEST(AdapterDiagnosis, EachAdapterNamedWithItsChipAndProblem)
{
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        const std::vector<AdapterReport> reports = DiagnoseWindowsDevices(test.devices);
        ASSERT_EQ(reports.size(), test.reports.size());
        for (size_t i = 0; i < reports.size(); ++i) {
            const Expected& want = test.reports[i];
            EXPECT_EQ(reports[i].port, want.port);
            EXPECT_EQ(reports[i].usb.chip, want.chip);
            EXPECT_EQ(reports[i].usb.serial, want.serial);
            EXPECT_EQ(reports[i].usb.revision, want.revision);
            EXPECT_EQ(AdapterProblemText(reports[i]), want.problem);
            EXPECT_EQ(AdapterBriefText(reports[i]), want.brief);
            EXPECT_EQ(reports[i].kind, want.kind);
        }
    }
}

TEST(AdapterDiagnosis, MovedNumberSaysTheSameAdapterBySerialElseOneOfItsChip)
{
    WindowsDevice kept = kFtdiPort;
    kept.present = false;
    kept.portName = "COM3";
    WindowsDevice now = kFtdiPort;
    now.instanceId = "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0001";
    WindowsDevice other = kFtdiPort;
    other.instanceId = "FTDIBUS\\VID_0403+PID_6001+B7Q1XA\\0000";
    WindowsDevice ch340 = kCh340NoDriver;
    ch340.problem = 0;
    ch340.portName = "COM5";
    WindowsDevice keptCh340 = kCh340NoDriver;
    keptCh340.present = false;
    keptCh340.portName = "COM8";
    const struct {
        const char* name;
        std::vector<WindowsDevice> devices;
        const char* asked;
        const char* said;
    } rows[] = {
        {"same serial",
         {ch340, kept, kFtdiUsb, now},
         "COM3",
         "COM3 não encontrada; o adaptador FTDI FT232R (A50285BI) está agora em COM7"},
        {"no number kept", {ch340, kept, kFtdiUsb, now}, "COM9", ""},
        {"another serial",
         {kept, other},
         "COM3",
         "COM3 não encontrada; há um adaptador FTDI FT232R (B7Q1X) em COM7"},
        {"no serial to match",
         {keptCh340, ch340},
         "COM8",
         "COM8 não encontrada; há um adaptador WCH CH340 em COM5"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MovedPortText(DiagnoseWindowsDevices(row.devices), row.asked), row.said) << row.name;
    // The number that a present adapter gives now is kept by no absent one.
    keptCh340.portName = "COM5";
    EXPECT_EQ(DiagnoseWindowsDevices({keptCh340, ch340}).size(), 1u);
}

}  // namespace
