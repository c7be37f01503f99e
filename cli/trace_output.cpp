// The trace's destinations and its lines.
#include "cli/trace_output.h"

#include "link/traffic_format.h"

#include <cerrno>
#include <cstring>

TraceOutput::~TraceOutput()
{
    std::vector<TrafficMessage> rest;
    decoder.Flush(rest);
    Write(rest);
    if (file != nullptr)
        std::fclose(file);
}

bool TraceOutput::Open(bool toStderr, const std::string& path)
{
    if (!path.empty()) {
        // Plain fopen: the file gets the user's umask, as any other file they make.
        file = std::fopen(path.c_str(), "a");
        if (file == nullptr) {
            std::fprintf(stderr, "kestro-cli: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
            return false;
        }
        streams.push_back(file);
    }
    this->toStderr = toStderr;
    if (toStderr)
        streams.push_back(stderr);
    return true;
}

TrafficObserver TraceOutput::Observer()
{
    return [this](const TrafficRun& run) {
        std::vector<TrafficMessage> messages;
        decoder.Feed(run, messages);
        Write(messages);
    };
}

void TraceOutput::Write(const std::vector<TrafficMessage>& messages)
{
    for (std::FILE* stream : streams) {
        for (const TrafficMessage& message : messages)
            std::fprintf(stream, "%s\n", TrafficLine(message).c_str());
        // As it happens: a trace cut short by a hang-up still shows the last exchange.
        std::fflush(stream);
    }
}
