#include "core/rdo_lookup.h"

#include "platform/error.h"
#include "platform/mirelink/mirelink.h"

namespace plovanex {

void RaiseNothing() {
    throw platform::Error("Object variable or With block variable not set");
}

void StartSession(mirelink::KVRDOSession& session, const std::string& outlookVersion,
                  const outlook::NameSpacePtr& nameSpace) {
    if (!outlookVersion.empty() && outlookVersion.front() == '9') {
        session.Logon();
    } else {
        session.SetMAPIOBJECT(Need(nameSpace).MAPIOBJECT());
    }
}

namespace {

// Asks first with the EntryID alone, then with the second id; errors of
// both tries give nothing.
template <class Lookup>
auto TryBothWays(const mirelink::SessionPtr& session, const std::string& entryId,
                 const std::string& storeId, Lookup lookup) -> decltype(lookup(entryId, storeId)) {
    decltype(lookup(entryId, storeId)) found;
    if (!session) {
        return found;
    }
    try {
        found = lookup(entryId, std::string());
    } catch (const std::exception&) {
        found.reset();
    }
    if (!found) {
        try {
            found = lookup(entryId, storeId);
        } catch (const std::exception&) {
            found.reset();
        }
    }
    return found;
}

}  // namespace

mirelink::FolderPtr GetRDOObjectFromIds(const mirelink::SessionPtr& session,
                                        const std::string& entryId, const std::string& storeId) {
    return TryBothWays(session, entryId, storeId, [&](const std::string& e, const std::string& s) {
        return session->GetFolderFromID(e, s);
    });
}

mirelink::MailPtr GetRDOMessageFromID(const mirelink::SessionPtr& session,
                                      const std::string& entryId, const std::string& storeId) {
    return TryBothWays(session, entryId, storeId, [&](const std::string& e, const std::string& s) {
        return session->GetMessageFromID(e, s);
    });
}

}  // namespace plovanex
