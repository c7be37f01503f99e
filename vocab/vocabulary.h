// Every text of the vocabulary, table by table, with the facts ({name}) that its users fill in:
// the one list that the vocabulary's test walks, each table taken whole by its own size.
#pragma once

#include <set>
#include <string>
#include <vector>

struct VocabularyTable {
    const char* name;
    std::vector<std::string> texts;  // Windows-1252
    std::set<std::string> facts;
};

const std::vector<VocabularyTable>& Vocabulary();
