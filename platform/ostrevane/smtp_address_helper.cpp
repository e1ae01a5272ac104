#include "platform/ostrevane/smtp_address_helper.h"

#include <mutex>

#include "platform/error.h"

namespace ostrevane {

namespace {

std::mutex& LookupMutex() {
    static std::mutex mutex;
    return mutex;
}

SmtpLookup& InstalledLookup() {
    static SmtpLookup lookup;
    return lookup;
}

}  // namespace

SmtpLookup InstallSmtpLookup(SmtpLookup lookup) {
    std::lock_guard lock(LookupMutex());
    std::swap(InstalledLookup(), lookup);
    return lookup;
}

std::string SmtpAddressHelper::GetSMTPAddress(const mirelink::AddressEntryPtr& entry) const {
    if (!entry) {
        return "";
    }
    SmtpLookup lookup;
    {
        std::lock_guard lock(LookupMutex());
        lookup = InstalledLookup();
    }
    if (!lookup) {
        throw platform::Error("SmtpAddressHelper: no address book is open");
    }
    return lookup(item_, entry);
}

}  // namespace ostrevane
