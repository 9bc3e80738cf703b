#pragma once
// How the programs set up the C library's heap before they read a module or
// a project.

#include <cstdint>

namespace quillon {

// A scan or an open builds tens of thousands of small items. With the
// default heap every 4 KiB of them is a page fault, and on a virtual machine
// those faults were two thirds of a 61,000-item scan. This grows the heap in
// 64 MiB steps and asks the kernel to back it with 2 MiB pages where it
// offers them (transparent huge pages in "madvise" mode). Call at the start,
// before any thread; later calls do nothing.
void PrepareHeapForLargeTrees();

// The same for a program that reads one module and learns only once it has
// opened it how large the tree will be. Zeroing the first 2 MiB page took
// about as long as scanning a small module, so the heap is prepared only
// when the module's templates (`templateBytes`, see ScannedBytes) make a
// tree of more than a page.
void PrepareHeapForTreeOf(std::uint64_t templateBytes);

} // namespace quillon
