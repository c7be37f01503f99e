// What the command cycle needs of a display: the window implements it with its widgets,
// kestro-cli on the console.
#pragma once

#include <string>

// The printer's identification as read when connecting; Windows-1252 text.
struct Identification {
    std::string modelo;
    std::string nsMf;
    std::string sb;
};

class CycleDisplay {
public:
    virtual ~CycleDisplay() = default;
    // Activity display code 0 to 6; lets pending events through.
    virtual void ShowCmd(int code) = 0;
    // The same, with the "Cancelar" link shown or hidden, then about half a second alive.
    virtual void ShowCmd(int code, bool cancelVisible) = 0;
    // The status line; the text is Windows-1252, as the link's error texts are.
    virtual void SetSt(const std::string& text) = 0;
    // The identification texts changed (AtualizaHeader).
    virtual void ShowIdentification(const Identification& identification) = 0;
};
