#pragma once

#include "core/platform/main_window.h"

namespace kivo {

// Pulls an edge flush with the work area when it comes within 10 pixels
// inside or less than 5 outside; the right and bottom edges win.
void SnapToWorkArea(const WorkArea& area, int* x, int* y, int width,
                    int height);

}  // namespace kivo
