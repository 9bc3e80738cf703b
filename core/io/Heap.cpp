#include "io/Heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quillon {

namespace {

constexpr std::size_t kHeapStep = std::size_t{64} << 20;
constexpr std::size_t kFirstBlock = std::size_t{1} << 20;
// The first MiB stays in small pages: a small scan needs no more, and its
// first large page cost it a tenth of its time.
constexpr std::uintptr_t kSmallStart = std::uintptr_t{1} << 20;
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
// The library's upper limit for the mapping threshold on 64-bit systems.
constexpr std::size_t kLargestHeapBlock = std::size_t{32} << 20;

} // namespace

void PrepareHeapForLargeTrees() {
    // Opening a project frees the previous tree and dictionary, hundreds of
    // thousands of small blocks. Kept apart in fast bins, they were all
    // merged at once by the next large request, in the middle of reading the
    // new project: a seventh of opening the 100,000-item project in the
    // window. Without fast bins each block is merged as it is freed.
    ::mallopt(M_MXFAST, 0);
    // The step also keeps free() from giving the top of the heap back and
    // faulting it in again at the next item.
    ::mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
    // A block this large would otherwise be mapped apart from the heap;
    // taken from the heap, it makes the heap grow by one step now.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kFirstBlock * 2));
    void* first = std::malloc(kFirstBlock);
    if (!first) return;
    const auto start = (reinterpret_cast<std::uintptr_t>(first) + kSmallStart + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0)) & ~(kLargePage - 1);
    // Advice only: without huge pages the heap works as before.
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    std::free(first);
    // Setting the pad above also fixed the threshold for mapping a block
    // apart, which the library otherwise raises to the largest block freed.
    // Fixed low, every buffer a save grows (a dictionary file is tens of
    // megabytes) was mapped afresh and faulted in page by page: saving the
    // 100,000-item project took three times as long. Raised to the most the
    // library allows, such buffers come from the heap and are used again.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
}

} // namespace quillon
