#pragma once

#include <memory>

// Forward declarations of the MAPI library's objects.
namespace mirelink {
class KVRDOSession;
class RDOStore;
class RDOFolder;
class RDOMail;
class RDOAddressEntry;
class KVSafeMailItem;
class KVMAPIUtils;
using SessionPtr = std::shared_ptr<KVRDOSession>;
using StorePtr = std::shared_ptr<RDOStore>;
using FolderPtr = std::shared_ptr<RDOFolder>;
using MailPtr = std::shared_ptr<RDOMail>;
using AddressEntryPtr = std::shared_ptr<RDOAddressEntry>;
using SafeMailItemPtr = std::shared_ptr<KVSafeMailItem>;
}  // namespace mirelink
