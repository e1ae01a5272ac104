#pragma once

#include "platform/outlook/fwd.h"

namespace host {

// The windows of `ostrevane open` and `ostrevane options`, each on a running
// client: the registered add-ins are started as the mail client starts them,
// errors show in the host's message window, and when the window closes the
// add-ins are shut down after the index builds they started have ended (at
// most 120 s). Each returns when that is done.

// The explorer on the Inbox, with notes in its status bar.
void ShowExplorer(const outlook::ApplicationPtr& application);

// The options dialog with every registered property page. The add-ins are
// told that the explorer opened, as in the mail client, where the dialog is
// part of the running client. Raises platform::Error when no page is
// registered.
void ShowOptionsDialog(const outlook::ApplicationPtr& application);

}  // namespace host
