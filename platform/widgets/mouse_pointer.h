#pragma once

namespace platform::widgets {

// Screen.MousePointer: the pointer the whole program shows.
inline constexpr int vbDefault = 0;
inline constexpr int vbHourglass = 11;
inline constexpr int vbArrowHourglass = 13;

// Sets the pointer; vbDefault drops every override, as setting the screen's
// pointer back does.
void SetMousePointer(int pointer);

}  // namespace platform::widgets
