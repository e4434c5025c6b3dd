// Replaces the test binary's global operator new so that a test can make one
// chosen allocation fail with std::bad_alloc, as it does when memory runs
// out, or learn the largest allocation a piece of work made.
#pragma once

#include <cstddef>

// From now on allocations are counted (on every thread); the one numbered
// `index` (0 = the next) throws. A negative index only counts.
void armAllocationFailure(long index);
// Stops counting and failing; returns the number of allocations since arming.
long disarmAllocationFailure();

// The size of the largest single allocation `run()` made (on any thread).
void startWatchingAllocations();
size_t stopWatchingAllocations();
template <typename Run> size_t largestAllocation(Run run)
{
    startWatchingAllocations();
    run();
    return stopWatchingAllocations();
}
