// The vocabulary's tables in one list.
#include "vocab/vocabulary.h"

#include "vocab/adapter_words.h"
#include "vocab/command_words.h"
#include "vocab/error_reason.h"
#include "vocab/line_test_words.h"
#include "vocab/port_words.h"
#include "vocab/search_words.h"
#include "vocab/status_words.h"
#include "vocab/traffic_words.h"
#include "vocab/usage_words.h"
#include "vocab/window_texts.h"

namespace {

template <typename Text, size_t count>
std::vector<std::string> Whole(const Text (&table)[count])
{
    return {std::begin(table), std::end(table)};
}

std::vector<std::string> ErrorReasons()
{
    std::vector<std::string> texts = {kOtherErrorReason};
    for (const ErrorReasonRow& row : kErrorReasons)
        texts.push_back(row.text);
    return texts;
}

std::vector<std::string> PortStates()
{
    std::vector<std::string> texts;
    for (const PortStateWords& row : kPortStateWords)
        texts.insert(texts.end(), {row.listed, row.label, row.openFailure});
    return texts;
}

std::vector<std::string> PortSpellings()
{
    std::vector<std::string> texts;
    for (const PortSpelling& row : {kPosixPortSpelling, kWindowsPortSpelling})
        texts.insert(texts.end(), {row.anyPath, row.examplePath, row.portOption});
    return texts;
}

std::vector<std::string> AdapterProblems()
{
    std::vector<std::string> texts = {kRefusedChipWords.state, kRefusedChipWords.advice};
    for (const AdapterProblemWords& row : kAdapterProblemWords)
        texts.insert(texts.end(), {row.state, row.advice});
    return texts;
}

}  // namespace

const std::vector<VocabularyTable>& Vocabulary()
{
    static const std::vector<VocabularyTable> tables = {
        {"kPortStateWords", PortStates(), {"holder", "advice", "code", "where"}},
        {"kPermissionWords",
         {kPermissionWords.noGroup, kPermissionWords.joinGroup, kPermissionWords.groupMayNot},
         {"group"}},
        {"kHolderWithPid", {kHolderWithPid}, {"name", "pid"}},
        {"kUnknownHolder", {kUnknownHolder}, {}},
        {"kOpenFailureCode", {kOpenFailureCode}, {"text", "code"}},
        {"kStatusWords", Whole(kStatusWords), {"where"}},
        {"kAdapterProblemWords", AdapterProblems(), {}},
        {"kAdapterWords",
         {kAdapterProblemText, kAdapterBriefText, kErasedProductText, kErasedProductBrief, kReservedPortText,
          kReservedSerialText, kMovedPortText, kMovedSerialText, kNoModuleText, kNoModuleBrief,
          kProblemAdaptersText, kProblemAdaptersWords.one, kProblemAdaptersWords.many},
         {"adapter", "state", "code", "advice", "port", "serial", "now", "module", "adapters"}},
        {"kErrorReasons", ErrorReasons(), {"code"}},
        {"kSearchWords",
         Whole(kSearchWords),
         {"note", "count", "ports", "printers", "tried", "skipped", "unidentified", "reason", "class", "detail"}},
        {"kCommandWords",
         Whole(kCommandWords),
         {"port", "command", "extension", "shown", "total", "path", "reason"}},
        {"kLineTestWords",
         Whole(kLineTestWords),
         {"number", "ms", "times", "class", "detail", "reason", "answer", "min", "median", "max", "answered",
          "sent", "count"}},
        {"kUsageWords",
         Whole(kUsageWords),
         {"option", "needs", "value", "word", "commands", "names", "last", "command", "name", "low", "high", "path"}},
        {"kWindowWords",
         Whole(kWindowWords),
         {"model", "port", "count", "path", "reason", "why", "serial", "version", "example"}},
        {"kPortSpelling", PortSpellings(), {}},
        {"kActivityTips", Whole(kActivityTips), {}},
        {"kTrafficColumns", Whole(kTrafficColumns), {}},
        {"kSaveFailures", Whole(kSaveFailures), {}},
        {"kTrafficWords", Whole(kTrafficWords), {"block",  "seq",    "command", "extension", "check", "parameters",
                                                 "byte",   "right",  "error",   "length",    "last",  "class",
                                                 "detail", "reason", "what",    "have",      "need",  "meaning",
                                                 "text",   "total",  "hex"}},
    };
    return tables;
}
