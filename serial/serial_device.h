// Serial port driver: opens and configures a port, writes on the caller's thread, and runs a
// reader thread that moves received bytes into a receive buffer for the caller to drain.
#pragma once

#include "serial/receive_buffer.h"
#include "serial/serial_port.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class SerialDevice {
public:
    // ioMode 0 is synchronous transfer, the only mode there is. The receive buffer holds three
    // chunks. Construction does not touch the port.
    SerialDevice(PortAddress portPath, std::string modeText, int ioMode, int chunkSize,
                 SerialPortOpener opener = OpenSerialPort);
    ~SerialDevice();

    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // True when the port is open, also when it already was (then nothing else happens).
    bool Open(HolderCheck check = HolderCheck::kCheap);
    // Stops the reader and closes the port; received bytes stay in the buffer.
    void Close();
    bool Write(const uint8_t* bytes, int n);
    // Moves up to n bytes from the front of the receive buffer; never waits.
    uint32_t Read(uint8_t* destination, uint32_t n);
    int Available() const;
    void Purge();

    bool IsOpen() const { return running; }
    // How the line was lost (kNone while it is there), looked at now; it stays after Close until
    // the next Open. Bytes received before stay in the buffer.
    LostLine LineLost();
    // Asks the port's far end whether it is still there (SerialPort::AskFarEnd), and whether
    // it answered since.
    bool AskFarEnd() { return port && port->AskFarEnd(); }
    bool FarEndAnswered() const { return !port || port->FarEndAnswered(); }
    // Why the last Open failed, as the open found it; the state kFree once an Open worked.
    const PortStatus& OpenFailure() const { return openFailure; }
    // Its system's error code.
    int LastError() const { return openFailure.error; }
    // The reader's pause between two reads of the port (50 ms); tests may shorten it.
    void SetReaderPause(std::chrono::milliseconds pause) { readerPause = pause; }
    // Without the reader thread the owner moves received bytes itself with ReadPort, so that a
    // run does not depend on scheduling (the fuzzer). Set before Open; the thread is the default.
    void SetReaderThread(bool on) { readerThreadOn = on; }
    // Without the reader thread: one turn of the reader on the owner's thread.
    void ReadPort();

private:
    void ReaderLoop();
    // Offers what is left of the last read to the receive buffer, or reads the port once; true
    // when it read.
    bool ReaderTurn();
    // Pauses the reader; returns early, and true, when Close asks it to stop.
    bool PauseUnlessStopped();
    bool StopRequested();
    // A lost line is not read again: the reader sleeps until Close.
    void AwaitStop();

    const PortAddress portPath;
    const std::string modeText;
    const int chunkSize;
    const SerialPortOpener opener;
    std::unique_ptr<SerialPort> port;
    std::thread readerThread;
    std::mutex stopLock;
    std::condition_variable stopSignal;
    bool stopRequest = false;
    std::unique_ptr<ReceiveBuffer> rxBuffer;
    std::unique_ptr<uint8_t[]> chunk;
    uint32_t chunkPending = 0;  // bytes of the last read not yet in the receive buffer
    uint32_t chunkOffset = 0;
    bool running = false;
    bool readerThreadOn = true;
    PortStatus openFailure;
    LostLine lost;  // of the last port, kept from its Close to the next Open
    std::chrono::milliseconds readerPause {50};
};
