#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* content,
                   std::string* error = nullptr);
// The file's lines as SplitLines gives them (CR, LF and CR LF end a line),
// read block by block: a long playlist is never held whole beside its lines.
// `expect` learns first about how many lines are coming and how many bytes
// they hold without their line ends, so the lines can be stored in one go.
using ExpectLines = std::function<void(size_t lines, size_t bytes)>;
bool ReadFileLines(const std::string& path, const ExpectLines& expect,
                   const std::function<void(std::string_view line)>& on_line,
                   std::string* error = nullptr);

// Replaces the file at path with content: written to a temporary file in the
// same folder, flushed and renamed over the old one, so a crash leaves either
// the old or the new file, never half of one, and the folder synced so the
// new one survives a power cut. A temporary an earlier killed write of the
// same file left behind is removed. A new file gets new_file_mode;
// an existing one keeps its mode. A symbolic link is written through: its
// target is replaced and the link stays. A file that is read-only (no write
// permission, or no write bit at all, which counts for root too) is refused
// and kept. On failure *error holds the system's reason.
bool WriteFileAtomically(const std::string& path, std::string_view content,
                         unsigned new_file_mode = 0644,
                         std::string* error = nullptr);

bool FileExists(const std::string& path);  // a regular file (or its link)
bool DirectoryExists(const std::string& path);

}  // namespace kivo
