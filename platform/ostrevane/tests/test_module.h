#pragma once

#include <string>

#include "platform/visibility.h"

// The own interface of the test module's class.
class PLATFORM_API ITestGreeter {
  public:
    virtual ~ITestGreeter() = default;
    virtual std::string Greeting() = 0;
};
