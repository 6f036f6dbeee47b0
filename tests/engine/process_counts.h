#pragma once

namespace kivo::engine::test {

// Counts of this process's own resources, from /proc/self.
int ThreadCount();
int OpenDescriptorCount();

}  // namespace kivo::engine::test
