#pragma once

#include <string>

#include "core/app/context.h"

namespace kivo {

// The playing title built from the entry's tags with the `TagSyntax`
// template: the first "%TRACK%", "%TITLE%", "%ARTIST%" and "%ALBUM%" each
// replaced by its tag (empty when absent or unreadable).
std::string TagTitle(Context& context, const std::string& location);

}  // namespace kivo
