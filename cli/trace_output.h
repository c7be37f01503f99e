// kestro-cli's --trace and --trace-file: the link's traffic decoded, one message per line, as it
// happens, in the same text as the window's traffic view saves.
#pragma once

#include "link/traffic_decoder.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TraceOutput {
public:
    TraceOutput() = default;
    // Writes what is still incomplete, then closes the file.
    ~TraceOutput();
    TraceOutput(const TraceOutput&) = delete;
    TraceOutput& operator=(const TraceOutput&) = delete;

    // Standard error, a file appended to (created with the user's umask), or both. The file's
    // run starts with the trace header naming the port. False, with the reason on standard
    // error, when the file cannot be opened.
    bool Open(bool toStderr, const std::string& path, const std::string& port);
    bool Active() const { return !streams.empty(); }
    bool ToStderr() const { return toStderr; }
    // What a session hands to its links; it must not outlive this object. With a label (the
    // port, when several links run at once) every line starts with it; each observer decodes
    // its own link, and whole lines are written under a lock.
    TrafficObserver Observer(const std::string& label = {});
    // Messages decoded elsewhere (a watched conversation), written as they are.
    void Write(const std::vector<TrafficMessage>& messages);

private:
    struct Watched {
        std::string prefix;
        TrafficDecoder decoder;
    };
    void Write(const Watched& watched, const std::vector<TrafficMessage>& messages);

    std::mutex writing;
    std::vector<std::unique_ptr<Watched>> watched;
    std::vector<std::FILE*> streams;
    std::FILE* file = nullptr;
    bool toStderr = false;
};
