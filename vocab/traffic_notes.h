// The link's own notes in its traffic that tell where a connection began and what did not come;
// ASCII, so that they read the same as Windows-1252 and as UTF-8.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// "Conectado (pts/3, 12/05/2025 14:05:33)": the link's first note, with its port and the clock
// time, so that connections in one view or trace stay apart although each one's times start at 0.
std::string ConnectionNote(const std::string& first, const std::string& port, const std::tm& when);

// "sem resposta em 6.000 ms": an answer wait ended with nothing, or not all, of the answer.
std::string NoAnswerNote(int64_t ms);
