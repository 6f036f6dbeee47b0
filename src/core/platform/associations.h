#pragma once

#include <string>

namespace kivo {

// Registers the player as the handler of one file type, and gives the type
// back to its previous handler. type_name is the upper-case name ("MP3");
// its extension is "." + the lower-case name. GUI thread only.
class Associations {
 public:
  virtual ~Associations() = default;
  // False when a value could not be written; failed_value then names it.
  virtual bool Register(const std::string& type_name,
                        std::string* failed_value) = 0;
  virtual bool Restore(const std::string& type_name,
                       std::string* failed_value) = 0;
};

}  // namespace kivo
