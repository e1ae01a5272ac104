#pragma once

namespace platform::widgets {

// Without a display, Qt falls back to its offscreen platform. Call before the
// application object is made.
void UseOffscreenWithoutDisplay();

}  // namespace platform::widgets
