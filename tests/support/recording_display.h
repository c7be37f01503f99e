// A display for the command cycle that records what it was told; lets a test act at a chosen
// display step, and cancels a command that runs away so that a fault shows as a wrong result
// instead of a hung test.
#pragma once

#include "session/command_cycle.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct RecordingDisplay : CycleDisplay {
    void ShowCmd(int code) override { Show(code); }
    void ShowCmd(int code, bool cancelVisible) override
    {
        if (cancelVisible)
            ++cancelShown;
        Show(code);
    }
    void SetSt(const std::string& text) override
    {
        status = text;
        statuses.push_back(text);
    }
    void ShowIdentification(const Identification& shown) override { identification = shown; }
    // The cycle's pauses, recorded and not spent: a test runs at the line's pace.
    void Wait(std::chrono::milliseconds duration) override { waits.push_back(duration.count()); }

    void Show(int code)
    {
        codes.push_back(code);
        if (onShow)
            onShow(code);
        if (codes.size() > kRunaway && cycle != nullptr)
            cycle->RequestCancel();
    }
    int Count(int code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }
    void Clear()
    {
        codes.clear();
        statuses.clear();
        waits.clear();
    }

    static constexpr size_t kRunaway = 5000;
    CommandCycle* cycle = nullptr;
    std::function<void(int code)> onShow;
    std::vector<int> codes;
    int cancelShown = 0;
    std::string status = "untouched";  // the last text set
    std::vector<std::string> statuses;
    std::vector<long> waits;  // milliseconds
    Identification identification;
};
