#include "terrain/parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "terrain/progress.h"

namespace {

constexpr int kMaxThreads = 8;
// Less work than this a thread (in row elements: vertices, texels, lines of
// text) is not worth the thread's start, a tenth of a millisecond or more.
constexpr int64_t kMinElementsPerThread = 65536;
// Blocks per thread: small enough to even out the threads' speeds and to
// move the progress bar, large enough that handing them out costs nothing.
constexpr int kBlocksPerThread = 16;

int gRequestedThreads = 0;

int defaultThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(int(cores), 1, kMaxThreads);
}

// One loop's shared state. Helpers and the caller take blocks until none
// are left or one of them failed.
struct RowLoop {
    RowRangeWork work;
    void* context;
    int rows, blockRows, blocks;
    std::atomic<int> next{0};
    std::atomic<int> completed{0};
    std::mutex failureLock;
    std::exception_ptr failure;

    void runBlocks(bool reporting)
    {
        for (;;) {
            const int block = next.fetch_add(1);
            if (block >= blocks) return;
            const int first = block * blockRows;
            try {
                work(context, first, std::min(rows, first + blockRows));
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
                next = blocks; // the others stop after their current block
                return;
            }
            const int done = completed.fetch_add(1) + 1;
            if (reporting) reportProgress(float(done) / float(blocks));
        }
    }
};

} // namespace

void setWorkerThreads(int count) { gRequestedThreads = std::clamp(count, 0, kMaxThreads); }

int workerThreads() { return gRequestedThreads > 0 ? gRequestedThreads : defaultThreads(); }

void parallelRowsOf(int rows, int rowLength, RowRangeWork work, void* context)
{
    if (rows <= 0) return;
    // A count asked for explicitly is used for any loop with enough rows.
    const int64_t elements = int64_t(rows) * int64_t(std::max(rowLength, 1));
    const int64_t worth = gRequestedThreads > 0 ? rows : elements / kMinElementsPerThread;
    const int threads = int(std::clamp<int64_t>(std::min<int64_t>(worth, rows), 1, workerThreads()));
    RowLoop loop;
    loop.work = work;
    loop.context = context;
    loop.rows = rows;
    loop.blockRows = std::max(1, rows / (threads * kBlocksPerThread));
    loop.blocks = (rows + loop.blockRows - 1) / loop.blockRows;

    std::thread helpers[kMaxThreads - 1];
    int started = 0;
    for (; started < threads - 1; ++started) {
        try {
            helpers[started] = std::thread([&loop] { loop.runBlocks(false); });
        } catch (const std::system_error&) {
            break; // no thread to be had: the others share its rows
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    loop.runBlocks(true);
    for (int i = 0; i < started; ++i) helpers[i].join();
    if (loop.failure) std::rethrow_exception(loop.failure);
}
