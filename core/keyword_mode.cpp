// Mode 2 of the processor: filing by keyword rules.

#include "core/process_one_sent_item.h"

namespace plovanex {

// Files the item by the first keyword rule one of whose keywords occurs in
// its subject or body. Not built yet: finds no rule, logs nothing.
bool CProcessOneSentItem::ScanForKeywords(outlook::ItemPtr& /*olItem*/) {
    return false;
}

}  // namespace plovanex
