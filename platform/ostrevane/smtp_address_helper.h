#pragma once

#include <functional>
#include <string>

#include "platform/mirelink/fwd.h"
#include "platform/outlook/fwd.h"

namespace ostrevane {

// Finds the SMTP address of an address-book entry, in the context of an
// item. The mail profile installs it; nothing is installed by default.
using SmtpLookup = std::function<std::string(const outlook::ItemPtr& item,
                                             const mirelink::AddressEntryPtr& entry)>;

// Replaces the process's lookup and gives the one installed before.
SmtpLookup InstallSmtpLookup(SmtpLookup lookup);

class SmtpAddressHelper {
  public:
    SmtpAddressHelper() = default;
    explicit SmtpAddressHelper(outlook::ItemPtr item) : item_(std::move(item)) {}

    void SetItem(outlook::ItemPtr item) { item_ = std::move(item); }
    const outlook::ItemPtr& Item() const { return item_; }

    // The entry's SMTP address through the installed lookup. No entry gives
    // ""; an entry with no lookup installed raises platform::Error.
    std::string GetSMTPAddress(const mirelink::AddressEntryPtr& entry) const;

  private:
    outlook::ItemPtr item_;
};

}  // namespace ostrevane
