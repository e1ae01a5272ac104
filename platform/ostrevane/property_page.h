#pragma once

#include <string>

#include "platform/ostrevane/options_host.h"
#include "platform/outlook/fwd.h"
#include "platform/visibility.h"

class QWidget;

namespace ostrevane {

// A module's page in the host's options dialog. The host hands the page its
// OptionsHost before it shows the page, learns whether the page holds changes
// that are not applied, tells it to apply or to reload, enables or disables
// it and passes it messages.
class PLATFORM_API IPropertyPage {
  public:
    virtual ~IPropertyPage() = default;

    virtual void SetHost(OptionsHostPtr& theHost) = 0;
    virtual bool Dirty() = 0;
    virtual void ResetHotHelp() = 0;
    // The Enabled property, write-only.
    virtual void SetEnabled(bool& newEnabled) = 0;
    virtual void Apply() = 0;
    virtual void LoadValues() = 0;
    virtual std::string SendPropMessage(std::string& theMessage, std::string& theData) = 0;
    virtual std::string GetRecipientSMTPAddress(outlook::ObjectPtr& safeRecip) = 0;

    // The page's window, made at the first call (the program must have its
    // windows by then) and owned by the page: a host that places it in a
    // window of its own takes it out again before that window goes. Its
    // window title is the caption of the page's tab.
    virtual QWidget* Control() = 0;
};

}  // namespace ostrevane
