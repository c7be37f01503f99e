// The port checks' facts put into their words.
#include "session/port_texts.h"

#include "session/adapter_texts.h"
#include "vocab/cp1252.h"
#include "vocab/port_words.h"
#include "vocab/status_words.h"

namespace {

static_assert(static_cast<int>(PortState::kNotChecked) + 1 == kPortStateCount, "a row of words per port state");

const PortStateWords& Words(PortState state) { return kPortStateWords[static_cast<int>(state)]; }

std::string Holder(const PortStatus& status)
{
    if (status.holder.empty())
        return kUnknownHolder;
    return FillIn(kHolderWithPid, {{"name", status.holder}, {"pid", std::to_string(status.pid)}});
}

// What to do about a refusal: join the group, or ask the one who may change the device.
std::string PermissionAdvice(const PortStatus& status)
{
    if (status.group.empty())
        return kPermissionWords.noGroup;
    return FillIn(status.groupMayOpen ? kPermissionWords.joinGroup : kPermissionWords.groupMayNot,
                  {{"group", status.group}});
}

// The facts that a state's words may name.
std::string Filled(const char* text, const PortStatus& status)
{
    return FillIn(text, {{"holder", Holder(status)},
                         {"advice", PermissionAdvice(status)},
                         {"code", std::to_string(status.error)},
                         {"where", status.where}});
}

}  // namespace

std::string PortStateText(const PortStatus& status) { return Filled(Words(status.state).listed, status); }

std::string PortStateLabel(PortState state) { return Words(state).label; }

std::string OpenFailureText(const PortStatus& status, const std::string& adapterNote)
{
    return FillIn(kOpenFailureCode, {{"text", kPortNotOpenedText}, {"code", std::to_string(status.error)}}) +
           (adapterNote.empty() ? Filled(Words(status.state).openFailure, status)
                                : "\n" + Utf8ToCp1252Text(adapterNote));
}

namespace {

std::string ProductAndIds(const std::string& product, const UsbIdentity& usb)
{
    if (!usb.known)
        return product;
    if (product.empty())
        return usb.chip.empty() ? UsbIdText(usb) : usb.chip + " (" + UsbIdText(usb) + ")";
    return product + " (" + (usb.chip.empty() ? "" : usb.chip + ", ") + UsbIdText(usb) + ")";
}

}  // namespace

std::string PortAdapterText(const PortReport& report)
{
    return ProductAndIds(report.port.description, report.adapter.usb);
}

std::string AdapterText(const AdapterReport& adapter) { return ProductAndIds(adapter.description, adapter.usb); }

std::string LeftOutText(const PortSurvey& survey, const PortReport& report, const std::string& shown)
{
    const std::string moved =
        report.status.state == PortState::kGone ? MovedPortText(survey.adapters, report.port.name) : "";
    return moved.empty() ? shown + ": " + Cp1252ToUtf8(PortStateText(report.status)) : moved;
}
