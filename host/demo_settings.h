#pragma once

#include "platform/mailstore/profile.h"

namespace host {

// The demo's settings, as the options page and its forms write them: the
// default folder Personal Folders\Archive\2026, an account override (mail
// from team@example.com goes to Personal Folders\Clients\Globex), a keyword
// rule (Acme goes to Personal Folders\Clients\Acme) and a contact rule
// (Project Lead goes to Personal Folders\Projects\Apollo), with keywords
// tried first, then contacts, then the default folder and the overrides.
// Needs the demo layout in the profile.
void WriteDemoSettings(mailstore::Profile& profile);

}  // namespace host
