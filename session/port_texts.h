// The Portuguese words for a port's status, shared by the window and kestro-cli; in
// Windows-1252, as the link's texts are.
#pragma once

#include "serial/port_status.h"

#include <cstddef>
#include <string>

// What a search of the ports that found no printer says.
constexpr char kNoPrinterFoundText[] = "Nenhum ECF encontrado";

// The state as a list shows it after the port's name: "livre", "sem permissão (entre no grupo
// dialout)", "em uso por ModemManager (pid 812)".
std::string PortStateText(const PortStatus& status);
// The state in two or three words, for counts: "sem permissão", "em uso".
std::string PortStateLabel(PortState state);
// The status text for a port that did not open: "Erro ao abrir Porta Serial! (16)", then a
// sentence that says why and what to do, when there is more to say than the code.
std::string OpenFailureText(const PortStatus& status);

// "1 porta tentada", "3 portas tentadas": the count and the word in its number.
std::string Counted(size_t count, const std::string& one, const std::string& many);
