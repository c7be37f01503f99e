// A port's status in words, for the window and kestro-cli: the facts put into the texts of
// vocab/port_words.h. Windows-1252, as the link's texts are.
#pragma once

#include "serial/port_status.h"
#include "serial/port_survey.h"

#include <string>

// The state as a list shows it after the port's name: "livre", "sem permissão (entre no grupo
// dialout)", "em uso por ModemManager (pid 812)".
std::string PortStateText(const PortStatus& status);
// The state in two or three words, for counts: "sem permissão", "em uso".
std::string PortStateLabel(PortState state);
// The status text for a port that did not open: "Erro ao abrir Porta Serial! (16)", then a
// sentence that says why and what to do, when there is more to say than the code. What the port's
// adapter tells (AdapterNoteForPort, UTF-8) is said instead of the sentence, on a line of its own
// (the window's status line is narrow), when there is any.
std::string OpenFailureText(const PortStatus& status, const std::string& adapterNote = {});

// The port's adapter as a list shows it, UTF-8 as the system's names are: the product name with
// the chip and its ids beside it, "USB2.0-Serial (WCH CH340, 1A86:7523)"; the product name alone
// where no USB adapter is seen.
std::string PortAdapterText(const PortReport& report);
// The same for an adapter that gives no port, or whose absence keeps a number.
std::string AdapterText(const AdapterReport& adapter);
// A port left out, in UTF-8 for a list or a line: "{shown}: {state}", or, when it is gone and the
// adapter that kept its number is on another port, where that is.
std::string LeftOutText(const PortSurvey& survey, const PortReport& report, const std::string& shown);
