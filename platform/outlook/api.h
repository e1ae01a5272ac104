#pragma once

#include <memory>

#include "platform/visibility.h"

namespace mailstore {
class Profile;
}

namespace outlook {

// The open mail profile behind a session, as `MAPIOBJECT` hands it over.
// Opaque to the system's code.
using MAPIObject = std::shared_ptr<mailstore::Profile>;

}  // namespace outlook
