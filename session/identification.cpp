// The identification queries, and how their answers are shown.
#include "session/identification.h"

#include "session/command_cycle.h"
#include "vocab/command_words.h"
#include "vocab/error_text.h"
#include "vocab/status_words.h"

#include <stdexcept>

namespace {

std::string Slice(const std::string& text, size_t position, size_t count)
{
    return position < text.size() ? text.substr(position, count) : std::string();
}

// The three items in the order they are read, with where each one is kept.
struct Item {
    IdentificationItem number;
    std::string Identification::*text;
};
constexpr Item kItems[] = {
    {IdentificationItem::kModel, &Identification::modelo},
    {IdentificationItem::kSerialNumber, &Identification::nsMf},
    {IdentificationItem::kBasicSoftware, &Identification::sb},
};

// One identification query: empty when the item could not be read.
std::string ReadIdentificationItem(CommandCycle& cycle, IdentificationItem item)
{
    PrepareIdentificationQuery(*cycle.Link(), item);
    std::string value;
    try {
        value = cycle.RetResp(0);
    } catch (const std::exception&) {
        value.clear();  // a response without the field reads as no answer
    }
    // A command that never started read nothing, whatever text stands for it.
    return cycle.Outcome().kind == CommandOutcome::kNotOpened ? std::string() : value;
}

}  // namespace

std::string FormatSb(const std::string& sb)
{
    // A version not read shows nothing, like the other items, rather than its two dots alone.
    if (sb.empty())
        return {};
    return Slice(sb, 0, 2) + "." + Slice(sb, 2, 2) + "." + Slice(sb, 4, 2);
}

std::vector<LabelledItem> LabelledItems(const Identification& identification)
{
    return {
        {kModelLabel + identification.modelo, !identification.modelo.empty()},
        {kSerialNumberLabel + identification.nsMf, !identification.nsMf.empty()},
        {kBasicSoftwareLabel + FormatSb(identification.sb), !identification.sb.empty()},
    };
}

void PrepareIdentificationQuery(EcfLink& link, IdentificationItem item)
{
    link.SetCmd(command::kReadInfo, 0);
    link.AddParam(command::kIdentificationGroup);
    link.AddParam(static_cast<int32_t>(item));
}

bool CarregaConfig(CommandCycle& cycle, CycleDisplay& display, Identification& identification)
{
    bool success = true;
    // A query that found the port gone (its open failed, or its line went) leaves the items after
    // it unread: each would only fail the same way. A line lost between two queries is no such
    // failure: the next query opens the port again, and says why when it cannot.
    bool portGone = false;
    for (const Item& item : kItems) {
        const bool stop = portGone || cycle.CancelRequested();
        const std::string value = stop ? std::string() : ReadIdentificationItem(cycle, item.number);
        if (value.empty()) {
            success = false;
            const CommandOutcome::Kind ended = cycle.Outcome().kind;
            portGone = portGone || ended == CommandOutcome::kNotOpened || ended == CommandOutcome::kLineLost;
        }
        identification.*item.text = value;
    }
    // The lost line's own text tells the technician more than that the reading failed; an open
    // that failed was said before it, and stays beside it.
    if (!success && cycle.Outcome().kind != CommandOutcome::kLineLost)
        display.SetSt(kReadFailedText);
    display.ShowIdentification(identification);
    return success;
}

bool IdentifyForSearch(CommandCycle& cycle, Identification& identification)
{
    identification = {};
    for (const Item& item : kItems) {
        identification.*item.text = ReadIdentificationItem(cycle, item.number);
        if ((identification.*item.text).empty())
            return false;
    }
    return true;
}
