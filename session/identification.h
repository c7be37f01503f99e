// The printer's identification: the queries that read it when connecting or searching, and how it
// is shown.
#pragma once

#include "link/command_numbers.h"
#include "session/printer_identity.h"

#include <string>
#include <vector>

class CommandCycle;
class CycleDisplay;
class EcfLink;

// The basic-software version as the header shows it: "010203" reads 01.02.03; missing
// characters are left out, the dots stay; an empty version shows nothing.
std::string FormatSb(const std::string& sb);

// One item after its label, as the window's header shows it: "Modelo: KS-2000", "SB: 01.02.03"
// (Windows-1252); read is false when the printer gave nothing for it.
struct LabelledItem {
    std::string text;
    bool read = false;
};
// Model, NS MF and SB, in that order.
std::vector<LabelledItem> LabelledItems(const Identification& identification);

// The identification query for one item, prepared on the link.
void PrepareIdentificationQuery(EcfLink& link, IdentificationItem item);

// Reads model, NS MF and SB with the three identification queries, each its own command, all three
// whatever the first ones did; puts kReadFailedText on the status line when one of them could not
// be read.
bool CarregaConfig(CommandCycle& cycle, CycleDisplay& display, Identification& identification);

// The search's reading: the same queries, but it stops at the first one that fails, so that a
// printer that refuses, stays busy or goes silent costs one answer wait, not three. True when all
// three items were read; otherwise the cycle's outcome says why not (kDone: answered without the
// item).
bool IdentifyForSearch(CommandCycle& cycle, Identification& identification);
