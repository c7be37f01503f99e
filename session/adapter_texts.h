// The adapters' facts (serial/usb_adapters.h) put into the words of vocab/adapter_words.h, for the
// window, kestro-cli and the support report. UTF-8, as the names that the system gives.
#pragma once

#include "serial/port_status.h"
#include "serial/usb_adapters.h"

#include <string>
#include <vector>

// What is wrong and what to do: "Adaptador WCH CH340 (1A86:7523) sem driver (código 28): instale…";
// "" when the adapter works.
std::string AdapterProblemText(const AdapterReport& adapter);
// The same in a few words, for a status line: "adaptador WCH CH340 sem driver (código 28)".
std::string AdapterBriefText(const AdapterReport& adapter);
// A port that is gone: where the adapter that kept its number is now, "COM3 não encontrada; o
// adaptador FTDI FT232R (A50285BI) está agora em COM7", or, when only the chip matches, that there
// is one of its kind elsewhere; "" when none is seen.
std::string MovedPortText(const std::vector<AdapterReport>& adapters, const std::string& port);
// What the adapters say about a device port that did not open: the problem of the adapter that
// gives it, with what to do on a line of its own, else, when it is gone, where its adapter is now;
// "" when they say nothing.
std::string AdapterNoteForPort(const std::vector<AdapterReport>& adapters, const std::string& port,
                               const PortStatus& failure);
