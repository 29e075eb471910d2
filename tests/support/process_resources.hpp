// What this process holds open, to show that code under test leaves nothing behind.
#pragma once

#include <cstddef>

namespace vistrel::test_support {

// Open file descriptors of this process (Linux: the entries of /proc/self/fd).
std::size_t open_descriptor_count();
// Threads of this process (Linux: the entries of /proc/self/task).
std::size_t thread_count();
// The thread count once it has stopped changing: a thread that was just joined can stay
// listed for a moment, since the join returns before the kernel has reaped the thread.
std::size_t settled_thread_count();

}  // namespace vistrel::test_support
