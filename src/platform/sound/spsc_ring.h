// A bounded ring shared by one producer thread and one consumer thread,
// with no lock: the decoded frames of a stream, and the mixer's events.
//
// Slots are counted from 0 for the ring's whole life and never go back:
// slot n lives at index n % capacity, `width` elements wide. The producer
// writes slots from written() on and publishes them with commit; the
// consumer reads published slots and gives them back with release. A slot
// is overwritten only once the consumer has released it, so a slot the
// consumer reads stays as it was published until it releases it.
//
// Threads: writable and commit on the producer's; at and release on the
// consumer's; written on either. Construction allocates; nothing else does.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

template <typename T>
class SpscRing {
public:
    // `capacity` slots (>= 1) of `width` elements (>= 1).
    SpscRing(int64_t capacity, int width)
        : slots(capacity), width(width), elements(new T[static_cast<size_t>(capacity * width)]()) {}
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    int64_t capacity() const { return slots; }
    // Slots [0, written()) have been published.
    int64_t written() const { return end.load(std::memory_order_acquire); }

    // Producer: where slot written() goes, and in `count` how many slots
    // from it may be written now, contiguously (0 when the ring is full).
    T* writable(int64_t& count) {
        const int64_t next = end.load(std::memory_order_relaxed);
        const int64_t index = next % slots;
        count = std::min(slots - index, start.load(std::memory_order_acquire) + slots - next);
        count = std::max<int64_t>(count, 0);
        return elements.get() + index * width;
    }
    // Producer: publishes the next `count` slots, written through writable.
    void commit(int64_t count) { end.store(end.load(std::memory_order_relaxed) + count, std::memory_order_release); }

    // Consumer: slot `slot`, published and not released, and in
    // `contiguous` how many slots follow it in memory (>= 1; the caller
    // bounds it by written()).
    const T* at(int64_t slot, int64_t& contiguous) const {
        const int64_t index = slot % slots;
        contiguous = slots - index;
        return elements.get() + index * width;
    }
    // Consumer: slots before `slot` may be overwritten from now on. Never
    // moves back.
    void release(int64_t slot) {
        if (slot > start.load(std::memory_order_relaxed)) start.store(slot, std::memory_order_release);
    }
    int64_t released() const { return start.load(std::memory_order_relaxed); }

private:
    const int64_t slots;
    const int width;
    const std::unique_ptr<T[]> elements;
    std::atomic<int64_t> end{0};    // written by the producer
    std::atomic<int64_t> start{0};  // written by the consumer
};
