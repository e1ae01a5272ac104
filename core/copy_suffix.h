#pragma once

#include <optional>
#include <string>

namespace plovanex {

// The copy suffix that Send And File appends to an item's billing text: a
// colon, the target folder's EntryID, a colon and its StoreID. Ids are
// hexadecimal, so the suffix is the last two colons, each followed by an
// id as the store makes it (long upper-case hexadecimal); colons before it,
// and colons followed by anything else, belong to the billing text.
struct CopySuffix {
    std::string billing;  // the text before the suffix
    std::string entryId;
    std::string storeId;
};

std::string AppendCopySuffix(const std::string& billing, const std::string& entryId,
                             const std::string& storeId);
// Nothing when the text does not end in a suffix.
std::optional<CopySuffix> SplitCopySuffix(const std::string& text);

}  // namespace plovanex
