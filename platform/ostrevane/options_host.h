#pragma once

#include <memory>
#include <string>

#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

namespace ostrevane {

// The host of the options page, handed to the page before it is shown.
class PLATFORM_API OptionsHost {
  public:
    virtual ~OptionsHost() = default;
    // A setting on the page changed.
    virtual void OnStatusChange() = 0;
    // Shows a help text for the control under the pointer.
    virtual void SetHotHelp(std::string& caption, std::string& helpText) = 0;
    virtual outlook::ApplicationPtr OutlookApplication() = 0;
    // Gives the focus back to the options dialog.
    virtual void SetFocus() = 0;
};

using OptionsHostPtr = std::shared_ptr<OptionsHost>;

}  // namespace ostrevane
