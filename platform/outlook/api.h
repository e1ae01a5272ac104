#pragma once

#include <memory>

// Interface classes of the platform keep default visibility, so that
// dynamic_cast and exceptions work across libraries built with hidden
// visibility.
#define PLATFORM_API __attribute__((visibility("default")))

namespace mailstore {
class Profile;
}

namespace outlook {

// The open mail profile behind a session, as `MAPIOBJECT` hands it over.
// Opaque to the system's code.
using MAPIObject = std::shared_ptr<mailstore::Profile>;

}  // namespace outlook
