#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace kivo::testing {

// What the code under test asked of the system since the last clear, in
// order: "rename", "fsync file" or "fsync folder <inode>" (fdatasync counts
// as fsync). This program replaces fsync, fdatasync and rename to see them.
std::vector<std::string>& SyncCalls();
std::string FolderSync(const std::string& folder);  // "fsync folder <inode>"

std::vector<std::string> NamesIn(const std::string& folder);
unsigned ModeOf(const std::string& path);

// Runs body in a child process that ends when body returns.
pid_t StartChild(const std::function<void()>& body);
// Lets child run for pause_us, then kills it with SIGKILL and reaps it.
void KillAfter(pid_t child, int pause_us);

}  // namespace kivo::testing
