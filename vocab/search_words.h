// The texts of a look at the ports and of a search for printers, in the window and kestro-cli;
// Windows-1252, with {name} for what FillIn puts in (vocab/filling.h).
#pragma once

#include "vocab/port_words.h"

// The window's port list while the ports are looked at, and its menu's search.
constexpr char kWaitText[] = "Aguarde...";
constexpr char kFindPrinterAction[] = "Localizar ECF";
constexpr char kSearchingText[] = "Localizando ECF...";

// The window's note on the ports left out: the first one's {note}, then how many more.
constexpr char kNoPortAvailableText[] = "Nenhuma porta dispon\355vel: {note}";
constexpr char kAndMoreText[] = " (e mais {count})";

// kestro-cli ports: the ports left out, counted, and where to see why.
constexpr CountedWords kPortsLeftOutWords = {"porta deixada", "portas deixadas"};
constexpr char kPortsLeftOutText[] = "{ports} de fora: kestro-cli ports --all mostra o motivo.";

// A search: none found, or how many; the summary of ports tried and left out, then each reason.
constexpr char kNoPrinterFoundText[] = "Nenhum ECF encontrado";
constexpr CountedWords kPrintersFoundWords = {"ECF encontrado", "ECFs encontrados"};
constexpr CountedWords kPortsTriedWords = {"porta tentada", "portas tentadas"};
constexpr CountedWords kPortsSkippedWords = {"deixada", "deixadas"};
constexpr char kSearchSummaryText[] = "{printers}; {tried}, {skipped} de fora";
// The summary's count of the printers that answered without identifying, after {printers}.
constexpr CountedWords kUnidentifiedWords = {"respondeu sem se identificar", "responderam sem se identificar"};
constexpr char kUnidentifiedCountText[] = ", {unidentified}";

// A port where a printer answered but did not identify itself, after the port's name, and the
// {reason} in a few words: refused with its pair, busy until given up, silent, and so on.
constexpr char kNotIdentifiedText[] = "responde, mas n\343o se identificou ({reason})";
constexpr char kRefusedReason[] = "recusou: {class}/{detail}";
constexpr char kBusyReason[] = "ocupado";
constexpr char kNoAnswerReason[] = "sem resposta";
constexpr char kInvalidAnswerReason[] = "resposta inv\341lida";
constexpr char kEmptyAnswerReason[] = "resposta vazia";
constexpr char kNotSentReason[] = "erro no envio";
constexpr char kInterruptedReason[] = "interrompido";

// Every text above with its placeholders, for tests.
constexpr const char* kSearchWords[] = {
    kWaitText,
    kFindPrinterAction,
    kSearchingText,
    kNoPortAvailableText,
    kAndMoreText,
    kPortsLeftOutText,
    kNoPrinterFoundText,
    kSearchSummaryText,
    kUnidentifiedCountText,
    kNotIdentifiedText,
    kRefusedReason,
    kBusyReason,
    kNoAnswerReason,
    kInvalidAnswerReason,
    kEmptyAnswerReason,
    kNotSentReason,
    kInterruptedReason,
    kPortsLeftOutWords.one,
    kPortsLeftOutWords.many,
    kPrintersFoundWords.one,
    kPrintersFoundWords.many,
    kPortsTriedWords.one,
    kPortsTriedWords.many,
    kPortsSkippedWords.one,
    kPortsSkippedWords.many,
    kUnidentifiedWords.one,
    kUnidentifiedWords.many,
};
