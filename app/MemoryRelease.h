#pragma once

namespace tarnwick {

// The C library's allocator in a process that runs for weeks and now and then builds and drops
// a large folder's listing (tens of megabytes, made on several threads at once). Left alone it
// keeps a heap for each thread that allocated and raises its threshold for mapped blocks to the
// largest block freed so far, and what the panels free stays with the process as fragments:
// a thousand panels on a 100,000-entry folder left it 30 MB more than ten did, with the same
// amount in use. Fewer heaps, a fixed threshold (large blocks are mapped, and unmapped when
// freed) and trimming after a panel is done keep what it holds close to what is in use.

// Once, before any thread starts.
void tuneAllocatorForLongRun();
// Returns what the allocator holds free to the system a second from now, on a thread of its
// own; calls meanwhile are folded into that one. Main thread only.
void releaseFreedMemorySoon();

}  // namespace tarnwick
