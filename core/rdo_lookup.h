#pragma once

#include <memory>
#include <string>

#include "platform/mirelink/fwd.h"
#include "platform/outlook/fwd.h"

namespace plovanex {

// Starts a MAPI session on the profile the mail client shows: on Outlook 9
// (a version that begins with "9") the session logs on by itself, on later
// versions it takes the namespace's own session. Raises on failure.
void StartSession(mirelink::KVRDOSession& session, const std::string& outlookVersion,
                  const outlook::NameSpacePtr& nameSpace);

// The folder of these ids: first by the EntryID alone, then with the
// StoreID. Nothing when neither finds it; never raises.
mirelink::FolderPtr GetRDOObjectFromIds(const mirelink::SessionPtr& session,
                                        const std::string& entryId, const std::string& storeId);

// The message of these ids, tried the same way; nothing when not found.
mirelink::MailPtr GetRDOMessageFromID(const mirelink::SessionPtr& session,
                                      const std::string& entryId, const std::string& storeId);

// Raises the language's error for a reference to nothing.
[[noreturn]] void RaiseNothing();

// The object a reference names; raises for nothing.
template <class T>
T& Need(const std::shared_ptr<T>& object) {
    if (!object) {
        RaiseNothing();
    }
    return *object;
}

}  // namespace plovanex
