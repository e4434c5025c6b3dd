// Work split by rows over the machine's cores. A loop may use it when every
// row's result depends only on data that no other row of the same loop
// writes: then the split changes no bit of the result, only the time.
// Loops that draw from rand() or that read what earlier rows wrote stay on
// one thread.
//
// Rows are handed out in blocks to the calling thread and a few helper
// threads (std::thread, one set per loop, no pool). The calling thread
// reports progress (terrain/progress.h) as blocks complete; bodies must not.
// A body that throws stops the loop, and the exception reaches the caller.
// When a helper thread cannot be started the loop runs on fewer threads.
#pragma once

#include <type_traits>

// Threads for row loops: 0 restores the default (the machine's cores, at
// most 8, for loops with enough work to gain from them); any other count is
// used for every loop with as many rows (tests and benchmarks compare them);
// 1 keeps every loop on the calling thread.
void setWorkerThreads(int count);
int workerThreads();

using RowRangeWork = void (*)(void* context, int firstRow, int endRow);
void parallelRowsOf(int rows, int rowLength, RowRangeWork work, void* context);

// Runs body(firstRow, endRow) over [0, rows) in blocks, on up to
// workerThreads() threads; `rowLength` (elements a row) says how much work
// there is, and a loop too small to pay for a thread's start stays on the
// calling thread.
template <class Body> void parallelRows(int rows, int rowLength, Body&& body)
{
    using Stored = std::remove_reference_t<Body>;
    parallelRowsOf(
        rows, rowLength, [](void* context, int first, int end) { (*static_cast<Stored*>(context))(first, end); },
        const_cast<void*>(static_cast<const void*>(&body)));
}
