// Linear receive buffer: the oldest byte always sits at the start of the storage.
#include "serial/receive_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

ReceiveBuffer::ReceiveBuffer(uint32_t capacity) : data(new (std::nothrow) uint8_t[capacity])
{
    this->capacity = data ? capacity : 0;
}

uint32_t ReceiveBuffer::Put(const uint8_t* source, uint32_t n)
{
    std::lock_guard<std::mutex> guard(lock);
    const uint32_t room = capacity - count;
    if (room == 0)
        return 0;
    const uint32_t m = std::min(n, room);
    std::memcpy(data.get() + count, source, m);
    count += m;
    full = count == capacity;
    empty = count == 0;
    return m;
}

uint32_t ReceiveBuffer::Take(uint8_t* destination, uint32_t n)
{
    std::lock_guard<std::mutex> guard(lock);
    if (empty)
        return 0;
    const uint32_t m = std::min(n, count);
    std::memcpy(destination, data.get(), m);
    count -= m;
    std::memmove(data.get(), data.get() + m, count);
    full = count == capacity;
    empty = count == 0;
    return m;
}

void ReceiveBuffer::Clear()
{
    std::lock_guard<std::mutex> guard(lock);
    count = 0;
    empty = true;
    full = false;
}

uint32_t ReceiveBuffer::Count() const
{
    std::lock_guard<std::mutex> guard(lock);
    return count;
}

bool ReceiveBuffer::Empty() const
{
    std::lock_guard<std::mutex> guard(lock);
    return empty;
}

bool ReceiveBuffer::Full() const
{
    std::lock_guard<std::mutex> guard(lock);
    return full;
}
