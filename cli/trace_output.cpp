// The trace's destinations and its lines.
#include "cli/trace_output.h"

#include "base/version.h"
#include "cli/console.h"
#include "link/traffic_format.h"
#include "trace/trace_line.h"
#include "vocab/command_words.h"
#include "vocab/error_reason.h"
#include "vocab/filling.h"

#include <cerrno>
#include <ctime>

TraceOutput::~TraceOutput()
{
    for (const auto& link : watched) {
        std::vector<TrafficMessage> rest;
        link->decoder.Flush(rest);
        Write(*link, rest);
    }
    if (file != nullptr)
        std::fclose(file);
}

bool TraceOutput::Open(bool toStderr, const std::string& path, const std::string& port)
{
    if (!path.empty()) {
        // Plain fopen: the file gets the user's umask, as any other file they make.
        file = std::fopen(path.c_str(), "a");
        if (file == nullptr) {
            const std::string why =
                FillInUtf8(FillIn(kTraceNotOpenedText, {{"reason", ErrorReason(errno)}}), {{"path", path}});
            WriteText(stderr, "kestro-cli: " + why + "\n");
            return false;
        }
        streams.push_back(file);
        // Only the file: a trace on the terminal stays the bare message lines.
        const std::string program = "kestro-cli " + ProgramVersionText();
        std::fprintf(file, "%s\n", TraceHeader(program, port, std::time(nullptr)).c_str());
    }
    this->toStderr = toStderr;
    if (toStderr)
        streams.push_back(stderr);
    return true;
}

TrafficObserver TraceOutput::Observer(const std::string& label)
{
    watched.push_back(std::make_unique<Watched>());
    Watched& link = *watched.back();
    link.prefix = label.empty() ? std::string() : label + ": ";
    return [this, &link](const TrafficRun& run) {
        std::vector<TrafficMessage> messages;
        link.decoder.Feed(run, messages);
        Write(link, messages);
    };
}

void TraceOutput::Write(const std::vector<TrafficMessage>& messages)
{
    static const Watched unlabelled;
    Write(unlabelled, messages);
}

void TraceOutput::Write(const Watched& link, const std::vector<TrafficMessage>& messages)
{
    const std::lock_guard<std::mutex> hold(writing);
    for (std::FILE* stream : streams) {
        for (const TrafficMessage& message : messages)
            WriteText(stream, link.prefix + TrafficLine(message) + "\n");
        // As it happens: a trace cut short by a hang-up still shows the last exchange.
        std::fflush(stream);
    }
}
