// Bounded waiting for a condition in tests, on every system.
#pragma once

#include <chrono>
#include <functional>

// Polls the condition until it holds or the deadline passes; returns its last value.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds deadline = std::chrono::seconds(10));
