// The relay's two directions, each a thread that reads one side and writes the other.
#include "serial/port_relay.h"

#include <algorithm>

namespace {

// One read's worth: 44 ms of the line at 115200 baud, far beyond any of the protocol's messages
// in one go, and all the memory a stalled side can cost.
constexpr int kChunk = 512;

PortRelay::Side OtherSide(PortRelay::Side side)
{
    return side == PortRelay::Side::kPrinter ? PortRelay::Side::kOther : PortRelay::Side::kPrinter;
}

}  // namespace

PortRelay::PortRelay(SerialPort& printer, SerialPort& other, Watcher watcher)
    : printer(printer),
      other(other),
      watcher(std::move(watcher))
{
}

PortRelay::~PortRelay() { Stop(); }

void PortRelay::Start()
{
    toOther = std::thread([this] { Pass(printer, other, Side::kPrinter); });
    toPrinter = std::thread([this] { Pass(other, printer, Side::kOther); });
}

void PortRelay::Stop()
{
    stopping = true;
    if (toOther.joinable())
        toOther.join();
    if (toPrinter.joinable())
        toPrinter.join();
}

void PortRelay::Pass(SerialPort& from, SerialPort& to, Side fromSide)
{
    uint8_t chunk[kChunk];
    bool wasAway = from.FarEndAway();
    while (!stopping) {
        const int got = from.Read(chunk, kChunk);
        if (from.Lost()) {
            Lose(fromSide);
            return;
        }
        WatchAway(from, fromSide, wasAway);
        if (got <= 0)
            continue;
        watcher({Event::Kind::kBytes, fromSide, chunk, static_cast<size_t>(got)});
        if (!WriteAll(to, chunk, static_cast<size_t>(got))) {
            if (!stopping)
                Lose(OtherSide(fromSide));
            return;
        }
    }
}

bool PortRelay::WriteAll(SerialPort& to, const uint8_t* bytes, size_t length)
{
    size_t done = 0;
    while (done < length) {
        if (stopping)
            return false;
        const int wrote = to.WriteSome(bytes + done, static_cast<int>(length - done));
        if (wrote < 0 || to.Lost())
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

void PortRelay::WatchAway(SerialPort& from, Side fromSide, bool& wasAway)
{
    const bool away = from.FarEndAway();
    if (away == wasAway)
        return;
    wasAway = away;
    watcher({away ? Event::Kind::kAway : Event::Kind::kBack, fromSide, nullptr, 0});
}

void PortRelay::Lose(Side side)
{
    // Both directions end: the other thread sees `stopping` at its next read.
    stopping = true;
    if (!lossSaid.exchange(true)) {
        watcher({Event::Kind::kLost, side, nullptr, 0});
        ended = true;
    }
}
