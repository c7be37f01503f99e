// Linear receive buffer between the serial reader thread (Put) and the owner (Take, Clear).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

class ReceiveBuffer {
public:
    // A capacity whose storage cannot be allocated leaves the buffer with capacity 0.
    explicit ReceiveBuffer(uint32_t capacity);

    // Appends what fits of n bytes; returns how many were taken in.
    uint32_t Put(const uint8_t* source, uint32_t n);
    // Moves up to n bytes from the front to destination; the rest moves down to the front.
    uint32_t Take(uint8_t* destination, uint32_t n);
    void Clear();

    uint32_t Count() const;
    uint32_t Capacity() const { return capacity; }
    bool Empty() const;
    bool Full() const;

private:
    // One lock makes Put, Take and Clear exclusive; the flags are read under it too.
    mutable std::mutex lock;
    std::unique_ptr<uint8_t[]> data;
    uint32_t count = 0;
    uint32_t capacity = 0;
    bool empty = true;
    bool full = false;
};
