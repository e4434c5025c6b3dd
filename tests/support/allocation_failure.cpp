#include "support/allocation_failure.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<long> counted{0};
std::atomic<long> failAt{-1};
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

void* allocate(std::size_t size, std::size_t alignment)
{
    if (watching.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load();
        while (size > seen && !largest.compare_exchange_weak(seen, size)) {
        }
    }
    if (armed.load(std::memory_order_relaxed)) {
        const long n = counted.fetch_add(1);
        if (n == failAt.load())
            throw std::bad_alloc();
    }
    if (size == 0)
        size = 1;
    void* p = nullptr;
    if (alignment <= alignof(std::max_align_t))
        p = std::malloc(size);
    else
        p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

} // namespace

void armAllocationFailure(long index)
{
    counted = 0;
    failAt = index;
    armed = true;
}

void startWatchingAllocations()
{
    largest = 0;
    watching = true;
}

std::size_t stopWatchingAllocations()
{
    watching = false;
    return largest.load();
}

long disarmAllocationFailure()
{
    armed = false;
    failAt = -1;
    return counted.load();
}

void* operator new(std::size_t size) { return allocate(size, 0); }
void* operator new[](std::size_t size) { return allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return allocate(size, std::size_t(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocate(size, std::size_t(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
