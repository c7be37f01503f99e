// The printer commands and identification items that the programs themselves send, named once
// for the session, the search of the ports and whoever reads the traffic.
#pragma once

#include <cstdint>

namespace command {

// 20/0 with the parameter 0: the X reading.
constexpr uint8_t kReadingX = 20;
constexpr int32_t kReadingXParam = 0;
// 26/0 with the parameters 15 and an item's number: that item of the printer's identification,
// answered as "value|".
constexpr uint8_t kReadInfo = 26;
constexpr int32_t kIdentificationGroup = 15;

}  // namespace command

// The items of the identification group.
enum class IdentificationItem : int32_t {
    kModel = 2,
    kSerialNumber = 4,    // NS MF
    kBasicSoftware = 14,  // SB, the firmware's version
};
