// Serial port driver: the portable half, above the platform's SerialPort.
#include "serial/serial_device.h"

#include <new>

SerialDevice::SerialDevice(PortAddress portPath, std::string modeText, int /*ioMode*/, int chunkSize,
                           SerialPortOpener opener)
    : portPath(std::move(portPath)),
      modeText(std::move(modeText)),
      chunkSize(chunkSize > 0 ? chunkSize : 0),
      opener(std::move(opener)),
      rxBuffer(std::make_unique<ReceiveBuffer>(3u * static_cast<uint32_t>(this->chunkSize))),
      chunk(new (std::nothrow) uint8_t[static_cast<size_t>(this->chunkSize)])
{
}

SerialDevice::~SerialDevice() { Close(); }

bool SerialDevice::Open(HolderCheck check)
{
    if (running)
        return true;
    PortOpenResult opened = opener(portPath, modeText, chunkSize, check);
    if (!opened.port) {
        openFailure = std::move(opened.failure);
        return false;
    }
    port = std::move(opened.port);
    openFailure = {};
    lost = {};
    {
        std::lock_guard<std::mutex> guard(stopLock);
        stopRequest = false;
    }
    running = true;
    chunkPending = 0;
    if (readerThreadOn)
        readerThread = std::thread(&SerialDevice::ReaderLoop, this);
    return true;
}

void SerialDevice::Close()
{
    if (running) {
        {
            std::lock_guard<std::mutex> guard(stopLock);
            stopRequest = true;
        }
        stopSignal.notify_all();
        // The reader's port read waits at most 5 ms (a socket's at most the reader's pause) and
        // its pause wakes on the stop request, so joining is prompt and the port is never
        // closed under a running reader.
        if (readerThread.joinable())
            readerThread.join();
        running = false;
    }
    if (port)
        lost = port->Lost();
    port.reset();
}

LostLine SerialDevice::LineLost()
{
    if (!port)
        return lost;
    if (!port->Lost())
        port->CheckLine();
    return port->Lost();
}

bool SerialDevice::Write(const uint8_t* bytes, int n)
{
    if (!port)
        return false;
    return port->Write(bytes, n);
}

uint32_t SerialDevice::Read(uint8_t* destination, uint32_t n) { return rxBuffer->Take(destination, n); }

int SerialDevice::Available() const { return static_cast<int>(rxBuffer->Count()); }

void SerialDevice::Purge() { rxBuffer->Clear(); }

bool SerialDevice::PauseUnlessStopped()
{
    std::unique_lock<std::mutex> guard(stopLock);
    return stopSignal.wait_for(guard, readerPause, [this] { return stopRequest; });
}

bool SerialDevice::StopRequested()
{
    std::lock_guard<std::mutex> guard(stopLock);
    return stopRequest;
}

void SerialDevice::AwaitStop()
{
    std::unique_lock<std::mutex> guard(stopLock);
    stopSignal.wait(guard, [this] { return stopRequest; });
}

void SerialDevice::ReadPort()
{
    if (!readerThreadOn && running)
        ReaderTurn();
}

bool SerialDevice::ReaderTurn()
{
    // While the receive buffer is full the rest of the last read is offered again instead of
    // reading more; bytes still waiting in the chunk when the port closes are dropped.
    const bool reads = chunkPending == 0 && chunk && !port->Lost();
    if (reads) {
        chunkOffset = 0;
        const int got = port->Read(chunk.get(), chunkSize);
        chunkPending = got > 0 ? static_cast<uint32_t>(got) : 0;
    }
    if (chunkPending > 0) {
        const uint32_t taken = rxBuffer->Put(chunk.get() + chunkOffset, chunkPending);
        chunkOffset += taken;
        chunkPending -= taken;
    }
    return reads;
}

void SerialDevice::ReaderLoop()
{
    for (;;) {
        const bool waited = ReaderTurn() && port->ReadWaitsForBytes();
        if (port->Lost() && chunkPending == 0) {
            AwaitStop();
            return;
        }
        if (waited ? StopRequested() : PauseUnlessStopped())
            return;
    }
}
