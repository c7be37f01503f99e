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
    kPortsLeftOutWords.one,
    kPortsLeftOutWords.many,
    kPrintersFoundWords.one,
    kPrintersFoundWords.many,
    kPortsTriedWords.one,
    kPortsTriedWords.many,
    kPortsSkippedWords.one,
    kPortsSkippedWords.many,
};
