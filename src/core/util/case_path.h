#pragma once

#include <string>

namespace kivo {

// folder + "/" + name, where name matches an entry of folder without regard
// to ASCII case (the exact spelling first). When nothing matches, the path
// with name as given.
std::string ResolveIgnoringCase(const std::string& folder,
                                const std::string& name);

}  // namespace kivo
