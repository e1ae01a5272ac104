#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "host/commands.h"

namespace host {

// A mail as `ostrevane send` composes it.
struct SendRequest {
    std::vector<std::string> to, cc, bcc;
    std::string subject, body, from, billing;
    // Sent by the add-in's "Send And File" button instead of Send.
    bool sendAndFile = false;
    // How each folder chooser that opens is answered: a folder path,
    // "cancel" or "delete"; without it, Cancel.
    std::optional<std::string> choose;
};

// Composes the mail in an item window with the registered modules loaded,
// sends it and prints every folder that then holds it or a copy of it.
// Notes go to `notes`. Raises platform::Error when the mail was not sent or
// a chooser could not be answered as asked.
void SendMail(const Options& options, const SendRequest& request, std::ostream& out,
              std::ostream& notes);

}  // namespace host
