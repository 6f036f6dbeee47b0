#pragma once

#include <string>

namespace kivo::engine::test {

// Counts of this process's own resources, from /proc/self.
int ThreadCount();
int OpenDescriptorCount();
// This process's threads whose name begins with `prefix`.
int ThreadsNamed(const std::string& prefix);

}  // namespace kivo::engine::test
