#pragma once

// Marks a platform interface or entry point as visible outside its library.
// The deliverables are built with hidden visibility; the type information of
// the interfaces they share with the host must stay visible, so that a
// dynamic_cast across libraries finds one type.
#define PLATFORM_API __attribute__((visibility("default")))
