#pragma once

#include <string>

namespace kivo::testing {

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Ends with "/".
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  // Writes content to a file below the folder (creating folders) and returns
  // its path.
  std::string Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace kivo::testing
