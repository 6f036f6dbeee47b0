#pragma once

#include <string>
#include <vector>

namespace kivo {

// The language, theme and plug-in folders installed with the player; empty
// when there is none (a test, a player run from elsewhere).
struct ShippedFolders {
  std::string language;
  std::string theme;
  std::string plugins;
};

// One folder of the program folder (language/, Theme/, Plug-ins/) seen
// together with its shipped counterpart: the user's own files and the
// installed ones both count, and a user's file of the same name wins. An
// upgrade replaces the installed files, and the player sees the new ones at
// once, while whatever the user added or edited stays theirs.
class LayeredFolder {
 public:
  // Names compare without regard to ASCII case when ignore_case is set
  // (language and theme files), exactly otherwise (plug-ins).
  LayeredFolder(std::string user_folder, std::string shipped_folder,
                bool ignore_case);

  // The entries of both folders, sorted by their bytes; a shipped name the
  // user's folder also holds is listed once, as the user spells it.
  std::vector<std::string> Entries() const;
  // The user's file of that name, else the shipped one; the user's path when
  // neither exists.
  std::string FileOf(const std::string& name) const;
  const std::string& user_folder() const { return user_folder_; }

 private:
  bool SameName(const std::string& a, const std::string& b) const;
  std::string Find(const std::string& folder, const std::string& name) const;

  std::string user_folder_;
  std::string shipped_folder_;
  bool ignore_case_;
};

}  // namespace kivo
