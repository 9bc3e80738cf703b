#pragma once
// How the programs set up the C library's heap before they read a module or
// a project.

namespace quillon {

// A scan or an open builds tens of thousands of small items. With the
// default heap every 4 KiB of them is a page fault, and on a virtual machine
// those faults were two thirds of a 61,000-item scan. This grows the heap in
// 64 MiB steps and asks the kernel to back it with 2 MiB pages where it
// offers them (transparent huge pages in "madvise" mode); a small scan
// touches a page or two of it. Call once, at the start, before any thread.
void PrepareHeapForLargeTrees();

} // namespace quillon
