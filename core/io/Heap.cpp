#include "io/Heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace quillon {

namespace {

constexpr std::size_t kHeapStep = std::size_t{64} << 20;
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
// The library's upper limit for the mapping threshold on 64-bit systems.
constexpr std::size_t kLargestHeapBlock = std::size_t{32} << 20;
// The library's block header, and the rounding of a request to a block.
constexpr std::size_t kHeader = 2 * sizeof(std::size_t);
constexpr std::size_t kBlockAlign = 16;

std::size_t BlockSize(std::size_t request) {
    return (request + sizeof(std::size_t) + kBlockAlign - 1) & ~(kBlockAlign - 1);
}

std::uintptr_t RoundUp(std::uintptr_t value, std::uintptr_t to) { return (value + to - 1) & ~(to - 1); }

// Holds the heap's floor (see below) for the life of the program; volatile,
// so that the only pointer to it is kept where leak checkers look.
void* volatile g_heapFloor = nullptr;

// A 2 MiB page backs only a range that nothing has touched yet, and the
// library writes a header at both ends of every block it carves. So the heap
// is moved to start on a 2 MiB boundary: a floor block, larger than what is
// left of the start-up heap, is placed to end just below the boundary and
// kept. Nothing writes into the floor and its pages stay unbacked; every
// later block lies above the boundary, where each first touch of 2 MiB is one
// fault instead of 512. Small blocks are taken from what is left of the
// start-up heap first. Returns where the 2 MiB pages may start, 0 when the
// heap could not be moved.
std::uintptr_t MoveHeapToLargePageBoundary() {
    const std::size_t floorRequest = ::mallinfo2().keepcost + kBlockAlign;
    const std::size_t floorBlock = BlockSize(floorRequest);
    const auto brk = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (brk == static_cast<std::uintptr_t>(-1)) return 0;
    const std::uintptr_t boundary = RoundUp(brk + floorBlock + kHeader, kLargePage);
    const std::uintptr_t floorStart = boundary - floorBlock - kHeader;
    if (::sbrk(static_cast<intptr_t>(floorStart - brk)) == reinterpret_cast<void*>(-1)) return 0;
    // A block this large would otherwise be mapped apart from the heap;
    // taken from the heap, it makes the heap grow by one step now.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(RoundUp(floorRequest, kLargePage) + kLargePage));
    void* block = std::malloc(floorRequest);
    const auto floor = reinterpret_cast<std::uintptr_t>(block);
    if (floor == floorStart + kHeader) {
        g_heapFloor = block;
        return boundary;
    }
    // The floor came from a free block of its size, or from another
    // allocator (the sanitizers'): it holds nothing down and goes back.
    std::free(block);
    return floor ? RoundUp(floor + floorBlock, kLargePage) : 0;
}

} // namespace

void PrepareHeapForLargeTrees() {
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    // Opening a project frees the previous tree and dictionary, hundreds of
    // thousands of small blocks. Kept apart in fast bins, they were all
    // merged at once by the next large request, in the middle of reading the
    // new project: a seventh of opening the 100,000-item project in the
    // window. Without fast bins each block is merged as it is freed.
    ::mallopt(M_MXFAST, 0);
    // The step also keeps free() from giving the top of the heap back and
    // faulting it in again at the next item.
    ::mallopt(M_TOP_PAD, static_cast<int>(kHeapStep));
    const std::uintptr_t start = MoveHeapToLargePageBoundary();
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0)) & ~(kLargePage - 1);
    // Advice only: without huge pages the heap works as before.
    if (start && end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    // Setting the pad above also fixed the threshold for mapping a block
    // apart, which the library otherwise raises to the largest block freed.
    // Fixed low, every buffer a save grows (a dictionary file is tens of
    // megabytes) was mapped afresh and faulted in page by page: saving the
    // 100,000-item project took three times as long. Raised to the most the
    // library allows, such buffers come from the heap and are used again.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
}

void PrepareHeapForTreeOf(std::uint64_t templateBytes) {
    // A tree takes four to five times the bytes of its templates: a
    // megabyte of items at a quarter of a megabyte of templates.
    constexpr std::uint64_t kLargeTemplates = std::uint64_t{256} << 10;
    if (templateBytes >= kLargeTemplates) PrepareHeapForLargeTrees();
}

} // namespace quillon
