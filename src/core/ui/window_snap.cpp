#include "core/ui/window_snap.h"

namespace kivo {
namespace {

int SnapAxis(int start, int size, int area_start, int area_end) {
  if (area_start - 5 < start && start <= area_start + 10) start = area_start;
  int end = start + size;
  if (area_end - 10 <= end && end < area_end + 5) start = area_end - size;
  return start;
}

}  // namespace

void SnapToWorkArea(const WorkArea& area, int* x, int* y, int width,
                    int height) {
  *x = SnapAxis(*x, width, area.left, area.right);
  *y = SnapAxis(*y, height, area.top, area.bottom);
}

}  // namespace kivo
