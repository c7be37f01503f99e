// A port on a serial server: the URL read, the connection made within the open's bound, and the
// line's bytes passed through the socket as a device passes them.
#include "serial/network_port.h"

#include "serial/telnet_codec.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr char kRawScheme[] = "socket://";
constexpr char kRfc2217Scheme[] = "rfc2217://";
// As long as the reader's pause: the read waits instead of the pause (ReadWaitsForBytes).
constexpr int kReadWaitMs = 50;
// A server that turns a client away says why in a line or two of text and closes.
constexpr size_t kLongestFarewell = 256;

const LineSettings kPrinterLine {115200, 'n', 8, 1};

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool IsPortNumber(const std::string& text)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const long number = std::stol(text);
    return number >= 1 && number <= 65535;
}

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
    NetworkSerialPort(std::unique_ptr<TcpConnection> connection, bool rfc2217)
        : connection(std::move(connection)),
          telnet(rfc2217 ? std::make_unique<TelnetCodec>() : nullptr)
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
        if (!telnet)
            return Send(source, n);
        const std::vector<uint8_t> escaped = TelnetCodec::Escaped(source, n);
        return Send(escaped.data(), static_cast<int>(escaped.size()));
    }

    // A socket tells of its end only to a read, which the reader makes every turn.
    void CheckLine() override {}
    bool ReadWaitsForBytes() const override { return true; }

    bool Send(const uint8_t* source, int n)
    {
        // The reader answers the server's requests while the owner writes the line's bytes.
        const std::lock_guard<std::mutex> guard(sendLock);
        int error = 0;
        if (n <= 0 || connection->Send(source, n, error))
            return true;
        MarkLost(error);
        return false;
    }

private:
    void Receive(int n)
    {
        raw.resize(static_cast<size_t>(n));
        int error = 0;
        const int got = connection->Receive(raw.data(), n, kReadWaitMs, error);
        if (got < 0) {
            MarkLost(!farewell.empty() && error == ClosedByServerError() ? TurnedAwayError() : error);
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
                MarkLost(SpeaksTelnetError());
                return;
            }
        }
        HoldFarewell(data);
    }

    // Until the printer's first byte, text from the server is held back: if the server closes
    // the connection after it, it was the server's refusal, not the printer's answer.
    void HoldFarewell(const std::vector<uint8_t>& data)
    {
        auto at = data.begin();
        if (!printerSpoke) {
            at = std::find_if_not(data.begin(), data.end(), IsText);
            farewell.insert(farewell.end(), data.begin(), at);
            if (at == data.end() && farewell.size() <= kLongestFarewell)
                return;
            printerSpoke = true;
            line.insert(line.end(), farewell.begin(), farewell.end());
            farewell.clear();
        }
        line.insert(line.end(), at, data.end());
    }

    std::unique_ptr<TcpConnection> connection;
    std::unique_ptr<TelnetCodec> telnet;
    std::mutex sendLock;
    std::vector<uint8_t> raw;       // the last read as the socket gave it
    std::vector<uint8_t> line;      // the line's bytes not yet handed over
    std::vector<uint8_t> farewell;  // the server's text held back
    bool printerSpoke = false;
};

PortStatus Failure(PortState state, int error, const NetworkAddress& address)
{
    PortStatus status;
    status.state = state;
    status.error = error;
    status.where = NetworkPortWhere(address);
    return status;
}

}  // namespace

bool IsNetworkPortName(const std::string& name)
{
    return StartsWith(name, kRawScheme) || StartsWith(name, kRfc2217Scheme);
}

std::optional<NetworkAddress> ParseNetworkPortName(const std::string& name)
{
    NetworkAddress address;
    address.rfc2217 = StartsWith(name, kRfc2217Scheme);
    if (!address.rfc2217 && !StartsWith(name, kRawScheme))
        return std::nullopt;
    const std::string rest = name.substr(address.rfc2217 ? sizeof kRfc2217Scheme - 1 : sizeof kRawScheme - 1);
    const size_t colon = rest.rfind(':');
    if (colon == std::string::npos || !IsPortNumber(rest.substr(colon + 1)))
        return std::nullopt;
    address.host = rest.substr(0, colon);
    address.port = rest.substr(colon + 1);
    if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']')
        address.host = address.host.substr(1, address.host.size() - 2);
    const bool bad = address.host.empty() || address.host.find_first_of("/[]@ ?#") != std::string::npos ||
                     (address.host.find(':') != std::string::npos && rest.front() != '[');
    if (bad)
        return std::nullopt;
    return address;
}

std::string NetworkPortWhere(const NetworkAddress& address)
{
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + address.port;
}

std::string NetworkPortWhere(const std::string& name)
{
    const auto address = ParseNetworkPortName(name);
    return address ? NetworkPortWhere(*address) : std::string();
}

HostLookup LookUpHost(const std::string& host)
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
    if (!shared->done.wait_for(guard, kNetworkOpenBound, [&] { return shared->finished; }))
        return {{}, TimedOutError()};
    return shared->lookup;
}

bool IsTurnedAway(int lostError) { return lostError != 0 && lostError == TurnedAwayError(); }

bool SpeaksTelnet(int lostError) { return lostError != 0 && lostError == SpeaksTelnetError(); }

PortOpenResult OpenNetworkPort(const std::string& name, const std::string& modeText, const HostResolver& resolver)
{
    PortOpenResult result;
    const auto address = ParseNetworkPortName(name);
    if (!address) {
        // Nothing that names a server: said as a name that was not found, the name as given.
        result.failure.state = PortState::kNameNotFound;
        result.failure.where = name.substr(name.find("//") + 2);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + kNetworkOpenBound;
    const HostLookup lookup = resolver(address->host);
    if (lookup.addresses.empty()) {
        result.failure = Failure(PortState::kNameNotFound, lookup.error, *address);
        return result;
    }
    TcpConnectResult connected;
    for (const std::string& numeric : lookup.addresses) {
        connected = ConnectTcp(numeric, address->port, deadline);
        if (connected.connection || std::chrono::steady_clock::now() >= deadline)
            break;
    }
    if (!connected.connection) {
        result.failure = Failure(ConnectFailureState(connected.error), connected.error, *address);
        return result;
    }
    auto port = std::make_unique<NetworkSerialPort>(std::move(connected.connection), address->rfc2217);
    // The printer's line is 115200 8N1; a raw port keeps what the server was set to.
    if (address->rfc2217) {
        const std::vector<uint8_t> opening = TelnetCodec::Opening(ParseModeText(modeText).value_or(kPrinterLine));
        port->Send(opening.data(), static_cast<int>(opening.size()));
    }
    result.port = std::move(port);
    return result;
}
