// A port on a serial server: the URL read, the connection made within the open's bound, and the
// line's bytes passed through the socket as a device passes them.
#include "serial/network_port.h"

#include "serial/system.h"
#include "serial/telnet_codec.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// As long as the reader's pause: the read waits instead of the pause (ReadWaitsForBytes).
constexpr int kReadWaitMs = 50;
// A server that turns a client away says why in a line or two of text and closes.
constexpr size_t kLongestFarewell = 256;
// A server that resumes hands a new connection what the printer sent for the last one as soon as
// it has opened the device, about one connect's time after the connect (ser2net: 3 ms on the same
// machine). The first byte waits that long and this much more, at most kLongestSettle in all, and
// what came before it is dropped; the margin is what every command pays.
constexpr std::chrono::milliseconds kSettleMargin {10};
constexpr std::chrono::milliseconds kLongestSettle {500};

// What a server may write as text: a printer's first answer on a connection never is.
bool IsText(uint8_t byte) { return (byte >= 0x20 && byte < 0x7F) || byte == '\r' || byte == '\n' || byte == '\t'; }

// Telnet's IAC and a negotiation (SB, WILL, WONT, DO, DONT): how an RFC 2217 server opens a
// connection, and never how a printer starts its first answer.
bool OpensWithTelnet(const std::vector<uint8_t>& data)
{
    return data.size() >= 2 && data[0] == 0xFF && data[1] >= 0xFA && data[1] <= 0xFE;
}

class NetworkSerialPort final : public SerialPort {
public:
    NetworkSerialPort(std::unique_ptr<TcpConnection> connection, bool rfc2217,
                      std::chrono::steady_clock::time_point settledAt)
        : connection(std::move(connection)),
          telnet(rfc2217 ? std::make_unique<TelnetCodec>() : nullptr),
          settledAt(settledAt)
    {
    }

    int Read(uint8_t* destination, int n) override
    {
        if (n <= 0)
            return 0;
        if (line.empty())
            Receive(n);
        const int count = std::min(n, static_cast<int>(line.size()));
        std::copy_n(line.begin(), count, destination);
        line.erase(line.begin(), line.begin() + count);
        return count;
    }

    bool Write(const uint8_t* source, int n) override
    {
        if (!settled) {
            std::this_thread::sleep_until(settledAt);
            settled = true;
        }
        if (!telnet)
            return Send(source, n);
        const std::vector<uint8_t> escaped = TelnetCodec::Escaped(source, n);
        return Send(escaped.data(), static_cast<int>(escaped.size()));
    }

    // A socket tells of its end only to a read, which the reader makes every turn.
    void CheckLine() override {}
    bool ReadWaitsForBytes() const override { return true; }

    bool AskFarEnd() override
    {
        if (!telnet || Lost())
            return false;
        {
            const std::lock_guard<std::mutex> guard(askLock);
            askedAt = std::chrono::steady_clock::now();
            asking = true;
        }
        const std::vector<uint8_t> question = TelnetCodec::BaudQuestion();
        return Send(question.data(), static_cast<int>(question.size()));
    }

    bool FarEndAnswered() const override
    {
        const std::lock_guard<std::mutex> guard(askLock);
        return !asking;
    }

    bool Send(const uint8_t* source, int n)
    {
        // The reader answers the server's requests while the owner writes the line's bytes.
        const std::lock_guard<std::mutex> guard(sendLock);
        int error = 0;
        if (n <= 0 || connection->Send(source, n, error))
            return true;
        MarkLost(LineLoss::kServerGone, error);
        return false;
    }

private:
    void Receive(int n)
    {
        raw.resize(static_cast<size_t>(n));
        int error = 0;
        const int got = connection->Receive(raw.data(), n, kReadWaitMs, error);
        HearFarEnd(got);
        if (got < 0) {
            const bool turnedAway = !farewell.empty() && error == ClosedByServerError();
            MarkLost(turnedAway ? LineLoss::kTurnedAway : LineLoss::kServerGone, error);
            return;
        }
        std::vector<uint8_t> data;
        if (telnet) {
            std::vector<uint8_t> replies;
            telnet->Decode(raw.data(), got, data, replies);
            Send(replies.data(), static_cast<int>(replies.size()));
        } else {
            data.assign(raw.begin(), raw.begin() + got);
            if (!printerSpoke && farewell.empty() && OpensWithTelnet(data)) {
                MarkLost(LineLoss::kSpeaksTelnet, 0);
                return;
            }
        }
        HoldFarewell(data);
    }

    // Anything that comes answers the far end's question; a connection that ended has its own loss.
    void HearFarEnd(int got)
    {
        const std::lock_guard<std::mutex> guard(askLock);
        if (!asking)
            return;
        const bool silent = got == 0 && std::chrono::steady_clock::now() - askedAt >= kFarEndAnswerWait;
        if (got != 0 || silent)
            asking = false;
        if (silent)
            MarkLost(LineLoss::kServerSilent, 0);
    }

    // Until the printer's first byte, text from the server is held back: if the server closes
    // the connection after it, it was the server's refusal, not the printer's answer.
    void HoldFarewell(const std::vector<uint8_t>& data)
    {
        if (!settled) {
            HoldBeforeFirstByte(data);
            return;
        }
        auto at = data.begin();
        if (!printerSpoke) {
            at = std::find_if_not(data.begin(), data.end(), IsText);
            farewell.insert(farewell.end(), data.begin(), at);
            if (at == data.end() && farewell.size() <= kLongestFarewell)
                return;
            printerSpoke = true;
            line.insert(line.end(), farewell.begin() + static_cast<std::ptrdiff_t>(staleText), farewell.end());
            farewell.clear();
        }
        line.insert(line.end(), at, data.end());
    }

    // Before the first byte is sent nothing is an answer: what the printer sent for the last
    // connection is dropped, and only the text after it is held, in case it is a refusal.
    void HoldBeforeFirstByte(const std::vector<uint8_t>& data)
    {
        const auto text = std::find_if_not(data.rbegin(), data.rend(), IsText).base();
        if (text != data.begin())
            farewell.clear();
        farewell.insert(farewell.end(), text, data.end());
        if (farewell.size() > kLongestFarewell)
            farewell.clear();
        staleText = farewell.size();
    }

    std::unique_ptr<TcpConnection> connection;
    std::unique_ptr<TelnetCodec> telnet;
    std::mutex sendLock;
    mutable std::mutex askLock;  // the owner asks, the reader hears
    std::chrono::steady_clock::time_point askedAt;
    bool asking = false;
    std::vector<uint8_t> raw;       // the last read as the socket gave it
    std::vector<uint8_t> line;      // the line's bytes not yet handed over
    std::vector<uint8_t> farewell;  // the server's text held back
    size_t staleText = 0;           // of it, what came before the first byte was sent
    bool printerSpoke = false;
    const std::chrono::steady_clock::time_point settledAt;
    std::atomic<bool> settled {false};  // the first byte went out: the owner writes, the reader reads
};

PortStatus Failure(PortState state, int error, const PortAddress& address)
{
    PortStatus status;
    status.state = state;
    status.error = error;
    status.where = address.Where();
    return status;
}

}  // namespace

HostLookup LookUpHost(const std::string& host, const OpenPoll& poll)
{
    // The system's resolver has no bound of its own: it runs apart, and is left to finish
    // alone when it takes longer than the open may.
    struct Shared {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        HostLookup lookup;
    };
    const auto shared = std::make_shared<Shared>();
    std::thread([shared, host] {
        HostLookup lookup = LookUpHostNow(host);
        const std::lock_guard<std::mutex> guard(shared->lock);
        shared->lookup = std::move(lookup);
        shared->finished = true;
        shared->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(shared->lock);
    const auto finished = [&](int ms) {
        return shared->done.wait_for(guard, std::chrono::milliseconds(ms), [&] { return shared->finished; });
    };
    // The poll runs unlocked: it may let a whole window's events through.
    const auto unlocked = [&] {
        guard.unlock();
        const bool abandoned = poll && poll();
        guard.lock();
        return abandoned;
    };
    switch (WaitInSteps(std::chrono::steady_clock::now() + kNetworkOpenBound, finished, unlocked)) {
    case StepWait::kReady:
        return shared->lookup;
    case StepWait::kAbandoned:
        return {{}, CancelledError()};
    case StepWait::kTimedOut:
        break;
    }
    return {{}, TimedOutError()};
}

PortOpenResult OpenNetworkPort(const PortAddress& address, const std::string& modeText,
                               const HostResolver& resolver, const OpenPoll& poll)
{
    PortOpenResult result;
    if (address.host.empty()) {
        // Nothing that names a server: said as a name that was not found, the name as given.
        result.failure.state = PortState::kNameNotFound;
        result.failure.where = address.name.substr(address.name.find("//") + 2);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + kNetworkOpenBound;
    const HostLookup lookup = resolver(address.host, poll);
    if (lookup.addresses.empty()) {
        const bool abandoned = lookup.error == CancelledError();
        result.failure =
            Failure(abandoned ? PortState::kOpenError : PortState::kNameNotFound, lookup.error, address);
        return result;
    }
    TcpConnectResult connected;
    std::chrono::steady_clock::duration took {};
    for (const std::string& numeric : lookup.addresses) {
        const auto start = std::chrono::steady_clock::now();
        connected = ConnectTcp(numeric, address.port, deadline, poll);
        took = std::chrono::steady_clock::now() - start;
        if (connected.connection || connected.error == CancelledError() ||
            std::chrono::steady_clock::now() >= deadline)
            break;
    }
    if (!connected.connection) {
        result.failure = Failure(ConnectFailureState(connected.error), connected.error, address);
        return result;
    }
    const bool rfc2217 = address.kind == PortKind::kRfc2217Server;
    const auto settledAt = std::chrono::steady_clock::now() +
                           std::min<std::chrono::steady_clock::duration>(took + kSettleMargin, kLongestSettle);
    auto port = std::make_unique<NetworkSerialPort>(std::move(connected.connection), rfc2217, settledAt);
    // The printer's line is 115200 8N1; a raw port keeps what the server was set to.
    if (rfc2217) {
        const std::vector<uint8_t> opening = TelnetCodec::Opening(ParseModeText(modeText).value_or(kPrinterLine));
        port->Send(opening.data(), static_cast<int>(opening.size()));
    }
    result.port = std::move(port);
    return result;
}
