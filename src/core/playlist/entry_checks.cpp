#include "core/playlist/entry_checks.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/util/atomic_file.h"

namespace kivo {
namespace {

// Small enough that the first screenful is right at once on a cold disk and
// that a batch copies little; large enough that the round trips cost nothing.
constexpr int kBatchEntries = 2048;

void CheckBatchFrom(Context& context, PlaylistModel& model, int from);

void ApplyBatch(Context& context, PlaylistModel& model, uint64_t generation,
                int first, const std::vector<bool>& exists) {
  if (generation != model.layout_generation()) {
    CheckBatchFrom(context, model, 0);
    return;
  }
  model.SetChecked(first, exists);
  context.platform.window.PlaylistChanged();
  CheckBatchFrom(context, model, first + static_cast<int>(exists.size()));
}

void CheckBatchFrom(Context& context, PlaylistModel& model, int from) {
  const int first = model.FirstUnchecked(from);
  model.check_running = first >= 0;
  if (first < 0) return;
  const int end = std::min(model.Count(), first + kBatchEntries);
  std::vector<std::string> locations;
  locations.reserve(end - first);
  for (int index = first; index < end; ++index) {
    locations.emplace_back(model.file_list[index]);
  }
  EventLoop& loop = context.platform.loop;
  loop.RunAsync(
      "kivo-check",
      [&context, &model, &loop, first, generation = model.layout_generation(),
       lifetime = model.lifetime(), locations = std::move(locations)] {
        std::vector<bool> exists(locations.size());
        for (size_t k = 0; k < locations.size(); ++k) {
          exists[k] = FileExists(locations[k]);
        }
        loop.Post([&context, &model, lifetime, generation, first,
                   exists = std::move(exists)] {
          if (lifetime.expired()) return;
          ApplyBatch(context, model, generation, first, exists);
        });
      });
}

}  // namespace

bool FinishEntryChecks(PlaylistModel& model) {
  const int first = model.FirstUnchecked(0);
  if (first < 0) return false;
  std::vector<bool> exists(model.Count() - first);
  for (size_t k = 0; k < exists.size(); ++k) {
    const int index = first + static_cast<int>(k);
    if (model.FormOf(index) == LineForm::kUnchecked) {
      exists[k] = FileExists(std::string(model.file_list[index]));
    }
  }
  model.SetChecked(first, exists);
  return true;
}

void CheckEntryFiles(Context& context, PlaylistModel& model) {
  if (model.check_running) return;
  CheckBatchFrom(context, model, 0);
}

}  // namespace kivo
