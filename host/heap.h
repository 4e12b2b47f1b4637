// The process heap, set up before any work: large buffers stay in it, it grows
// in big steps, and those steps are backed by transparent huge pages.
#pragma once

namespace kado::host {

// Where a fault per 4 KiB page costs microseconds (virtual machines), a long
// invoice's first touch of its memory outweighs the work done in it; with
// 2 MiB pages it is a few hundred faults fewer. Call once, first thing in
// main. Without glibc's allocator (sanitizers) it does nothing.
void PrepareHeap();

}  // namespace kado::host
