#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <functional>
#include <string>

namespace kivo::testing {

// Runs a command line while this thread's event loop keeps serving (the
// command may be talking to objects of this process). Gives up after ten
// seconds. Returns the output, trimmed.
std::string RunProgram(const QStringList& command,
                       const QProcessEnvironment& environment);

// Serves events until done() holds or ten seconds have passed.
bool WaitUntil(const std::function<bool()>& done);

}  // namespace kivo::testing
