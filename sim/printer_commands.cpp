// What the simulated printer does with a well-formed frame.
#include "sim/printer_commands.h"

#include <vector>

namespace {

constexpr uint8_t kCmdXReading = 20;
constexpr uint8_t kCmdIdentification = 26;
constexpr const char* kIdentificationTable = "15";

// Fields each closed by "|"; false when the text does not end with one.
bool SplitFields(const std::string& text, std::vector<std::string>& fields)
{
    fields.clear();
    size_t from = 0;
    while (from < text.size()) {
        const size_t bar = text.find('|', from);
        if (bar == std::string::npos)
            return false;
        fields.push_back(text.substr(from, bar - from));
        from = bar + 1;
    }
    return true;
}

SimOutcome Refuse(SimPair pair)
{
    SimOutcome outcome;
    outcome.refusal = pair;
    return outcome;
}

SimOutcome Accept(std::string data)
{
    SimOutcome outcome;
    outcome.accepted = true;
    outcome.data = std::move(data);
    return outcome;
}

}  // namespace

SimOutcome RunCommand(uint8_t cmd, uint8_t ext, const std::string& params, const SimIdentity& identity)
{
    if (ext != 0)
        return Refuse(kPairUnknownCommand);
    std::vector<std::string> fields;
    if (cmd == kCmdXReading) {
        if (!SplitFields(params, fields) || fields.size() != 1 || fields[0] != "0")
            return Refuse(kPairBadParameter);
        return Accept("");
    }
    if (cmd == kCmdIdentification) {
        if (!SplitFields(params, fields) || fields.size() != 2 || fields[0] != kIdentificationTable)
            return Refuse(kPairBadParameter);
        if (fields[1] == "2")
            return Accept(identity.model + "|");
        if (fields[1] == "4")
            return Accept(identity.ns + "|");
        if (fields[1] == "14")
            return Accept(identity.sb + "|");
        return Refuse(kPairBadParameter);
    }
    return Refuse(kPairUnknownCommand);
}
