#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/mailstore/profile.h"

namespace host {

// Text for one column of a listing, such as a subject or an EntryID: a
// backslash doubled, TAB, CR and LF written \t, \r and \n and the other
// control characters and DEL \xHH, so that a record keeps its columns and
// its one line.
std::string ListedColumn(std::string_view text);

// A folder path as listings write it: "\\" and the levels parted by one
// backslash. A name is never empty, so two backslashes start an escape: a
// backslash, control character or DEL of a name as \\xHH, an empty name as
// \\x (only a file that another program wrote holds such names).
std::string ListedPath(const std::vector<std::string>& levels);
// The path of the folder, written as above.
std::string ListedPath(mailstore::Profile& profile, mailstore::Id folder);

// The levels of a path written as above, the leading "\\" optional; raises
// with the path when it is malformed.
std::vector<std::string> ParseListedPath(std::string_view path);

}  // namespace host
