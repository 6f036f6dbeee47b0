#pragma once

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// Finds out whether the files of the unchecked entries exist, on a worker
// thread in batches, so that a long list on a slow disk never holds the
// window: each batch's lines are fixed (and the list repainted) as it
// arrives. A batch that comes back after the list was reordered, shortened
// or refreshed is dropped and the check goes on from the first entry still
// unchecked. Calling it while a check runs changes nothing. GUI thread only.
void CheckEntryFiles(Context& context, PlaylistModel& model);

// Checks on the spot the entries a running check has not reached yet, for a
// view that copies the lines and must show them as they will end (the search
// window). Answers of the running check then change nothing. True when
// there was any entry left to check.
bool FinishEntryChecks(PlaylistModel& model);

}  // namespace kivo
