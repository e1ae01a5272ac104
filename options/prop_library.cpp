#include "options/prop_library.h"

#include "core/rdo_lookup.h"
#include "platform/outlook/outlook.h"

namespace plovanex {

PropLibrary& Prop() {
    thread_local PropLibrary library;
    return library;
}

ostrevane::OptionsHost& Host() {
    return Need(Prop().host);
}

outlook::ApplicationPtr HostApplication() {
    auto application = Host().OutlookApplication();
    Need(application);
    return application;
}

}  // namespace plovanex
