// The adapters' facts put into their words.
#include "session/adapter_texts.h"

#include "vocab/adapter_words.h"
#include "vocab/cp1252.h"

namespace {

// "WCH CH340 (1A86:7523)": the name with its ids, when known.
std::string NameWithIds(const AdapterReport& adapter)
{
    return adapter.usb.known ? adapter.name + " (" + UsbIdText(adapter.usb) + ")" : adapter.name;
}

// The row of words of a problem that Device Manager numbers.
const AdapterProblemWords& CodedWords(AdapterProblem kind)
{
    if (kind == kRefusedChipWords.kind)
        return kRefusedChipWords;
    for (const AdapterProblemWords& row : kAdapterProblemWords) {
        if (row.kind == kind)
            return row;
    }
    return kAdapterProblemWords[kAdapterProblemCount - 1];
}

std::string ReservedText(const AdapterReport& adapter)
{
    std::string text = FillInUtf8(kReservedPortText, {{"port", adapter.port}, {"adapter", adapter.name}});
    if (!adapter.usb.serial.empty())
        text += FillInUtf8(kReservedSerialText, {{"serial", adapter.usb.serial}});
    return text;
}

// A problem in its words: in full, in a few words, and after the failure of a port that the
// adapter gives.
struct ProblemWording {
    std::string text;
    std::string brief;
    std::string afterFailure;
};

ProblemWording Worded(const AdapterReport& adapter)
{
    switch (adapter.kind) {
    case AdapterProblem::kNone:
        return {};
    case AdapterProblem::kErasedProductId: {
        const std::string text = FillInUtf8(kErasedProductText, {{"adapter", NameWithIds(adapter)}});
        return {text, FillInUtf8(kErasedProductBrief, {{"adapter", adapter.name}}), text};
    }
    case AdapterProblem::kReserved:
        return {ReservedText(adapter), ReservedText(adapter), ReservedText(adapter)};
    case AdapterProblem::kNoModule: {
        const std::string text =
            FillInUtf8(kNoModuleText, {{"adapter", NameWithIds(adapter)}, {"module", adapter.module}});
        return {text, FillInUtf8(kNoModuleBrief, {{"adapter", adapter.name}}), text};
    }
    default:
        break;
    }
    const AdapterProblemWords& words = CodedWords(adapter.kind);
    const std::string state = Cp1252ToUtf8(words.state);
    const std::string code = std::to_string(adapter.code);
    const std::string advice = Cp1252ToUtf8(words.advice);
    const auto coded = [&](const char* text, const std::string& name) {
        return FillInUtf8(text, {{"adapter", name}, {"state", state}, {"code", code}, {"advice", advice}});
    };
    return {coded(kAdapterProblemText, NameWithIds(adapter)), coded(kAdapterBriefText, adapter.name),
            coded(kAdapterPortProblemText, NameWithIds(adapter))};
}

}  // namespace

std::string AdapterProblemText(const AdapterReport& adapter) { return Worded(adapter).text; }

std::string AdapterBriefText(const AdapterReport& adapter) { return Worded(adapter).brief; }

std::string MovedPortText(const std::vector<AdapterReport>& adapters, const std::string& port)
{
    const MovedAdapter moved = FindMovedAdapter(adapters, port);
    if (moved.now == nullptr)
        return {};
    std::string adapter = moved.now->name;
    if (!moved.now->usb.serial.empty())
        adapter += FillInUtf8(kMovedSerialText, {{"serial", moved.now->usb.serial}});
    return FillInUtf8(moved.same ? kMovedPortText : kSameChipPortText,
                      {{"port", port}, {"adapter", adapter}, {"now", moved.now->port}});
}

std::string AdapterNoteForPort(const std::vector<AdapterReport>& adapters, const std::string& port,
                               const PortStatus& failure)
{
    const AdapterReport* giving = AdapterGiving(adapters, port);
    if (giving != nullptr && giving->kind != AdapterProblem::kNone)
        return Worded(*giving).afterFailure;
    return failure.state == PortState::kGone ? MovedPortText(adapters, port) : std::string();
}
