// How the programs' texts are written: in UTF-8, as the technician reads them, with _cp1252 after
// the quotes, and once, in vocab/:
//     constexpr const char* kPortGoneText = "{port} não encontrada"_cp1252;
// The suffix turns the text at compile time into Windows-1252, the byte form of every text inside
// the programs (the printer's error table has it; the window and kestro-cli turn it into Unicode
// where they show it, Cp1252ToUtf8). The build stops on a character that Windows-1252 lacks
// (TextHasACharacterWithoutAWindows1252Form) and on a {name} that is not among kFactNames
// (TextNamesAnUnknownFact): add a new fact's name there. A text that stays in UTF-8 (the support
// report's, whose file is UTF-8) takes _utf8 instead: its bytes are kept, its {name}s checked alike.
#pragma once

#include "vocab/cp1252.h"

#include <string_view>
#include <type_traits>

// The names that callers fill in (FillIn, vocab/filling.h): one a line, in alphabetical order.
// clang-format off
constexpr std::string_view kFactNames[] = {
    "adapter",
    "adapters",
    "advice",
    "answer",
    "answered",
    "block",
    "build",
    "byte",
    "check",
    "class",
    "code",
    "command",
    "commands",
    "computer",
    "count",
    "date",
    "detail",
    "error",
    "example",
    "expected",
    "extension",
    "failed",
    "first",
    "free",
    "group",
    "have",
    "hex",
    "high",
    "holder",
    "ids",
    "items",
    "last",
    "leftOut",
    "length",
    "link",
    "longest",
    "low",
    "max",
    "meaning",
    "median",
    "messages",
    "min",
    "model",
    "module",
    "ms",
    "name",
    "names",
    "need",
    "needs",
    "note",
    "now",
    "number",
    "option",
    "other",
    "pair",
    "parameters",
    "path",
    "pid",
    "port",
    "ports",
    "printer",
    "printers",
    "problems",
    "program",
    "reason",
    "refused",
    "revision",
    "right",
    "sent",
    "seq",
    "serial",
    "shown",
    "side",
    "size",
    "skipped",
    "state",
    "step",
    "summary",
    "system",
    "text",
    "times",
    "total",
    "tried",
    "unanswered",
    "unidentified",
    "user",
    "value",
    "version",
    "what",
    "where",
    "why",
    "word",
};
// clang-format on

// The searches below walk the characters by hand: string_view's find and == go through
// built-ins that GCC refuses in a constant expression when UndefinedBehaviorSanitizer is on.
constexpr size_t FindInText(std::string_view text, char c, size_t from)
{
    for (size_t i = from; i < text.size(); ++i)
        if (text[i] == c)
            return i;
    return std::string_view::npos;
}

constexpr bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// True when every {name} in the text is closed and among kFactNames.
constexpr bool NamesOnlyKnownFacts(std::string_view text)
{
    for (size_t open = FindInText(text, '{', 0); open != std::string_view::npos;
         open = FindInText(text, '{', open + 1)) {
        const size_t close = FindInText(text, '}', open);
        if (close == std::string_view::npos)
            return false;
        bool known = false;
        for (const std::string_view fact : kFactNames)
            known = known || SameText(fact, text.substr(open + 1, close - open - 1));
        if (!known)
            return false;
    }
    return true;
}

// Never defined: a text that reaches one of them stops the build with its name.
void TextHasACharacterWithoutAWindows1252Form();
void TextNamesAnUnknownFact();

// Every text's own check, whatever its bytes become.
constexpr void CheckFacts(std::string_view text)
{
    if (!NamesOnlyKnownFacts(text))
        TextNamesAnUnknownFact();
}

// A text's Windows-1252 bytes, with room for as many as its UTF-8 has, the rest zeros.
template <size_t size>
struct Cp1252Text {
    char bytes[size + 1] = {};
};

template <char... utf8>
struct Cp1252Literal {
    static constexpr char kUtf8[] = {utf8..., '\0'};
    static constexpr Cp1252Text<sizeof...(utf8)> Converted()
    {
        Cp1252Text<sizeof...(utf8)> text;
        const std::string_view source(kUtf8, sizeof...(utf8));
        if (Utf8ToCp1252(source, text.bytes) == kNoCp1252Form)
            TextHasACharacterWithoutAWindows1252Form();
        CheckFacts(source);
        return text;
    }
    static constexpr Cp1252Text<sizeof...(utf8)> kText = Converted();
};

// A literal operator template over a string's characters: a GNU form that GCC, which builds
// every target, and Clang take; the bytes live once in the program, whatever file names them.
template <typename Char, Char... utf8>
constexpr const char* operator""_cp1252()
{
    static_assert(std::is_same_v<Char, char>, "a text is a plain string literal");
    return Cp1252Literal<utf8...>::kText.bytes;
}

// A text kept in UTF-8, checked as the others.
template <char... utf8>
struct Utf8Literal {
    static constexpr char kUtf8[] = {utf8..., '\0'};
    static constexpr const char* Checked()
    {
        CheckFacts(std::string_view(kUtf8, sizeof...(utf8)));
        return kUtf8;
    }
    static constexpr const char* kText = Checked();
};

template <typename Char, Char... utf8>
constexpr const char* operator""_utf8()
{
    static_assert(std::is_same_v<Char, char>, "a text is a plain string literal");
    return Utf8Literal<utf8...>::kText;
}
