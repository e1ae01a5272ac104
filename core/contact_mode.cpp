// Mode 3 of the processor: filing by contact-association rules.

#include "core/process_one_sent_item.h"

namespace plovanex {

// Files the item by the contact-association rules whose contact matches one
// of its recipients. Not built yet: finds no rule, logs nothing.
bool CProcessOneSentItem::LookForContacts(outlook::ItemPtr& /*olItem*/) {
    return false;
}

}  // namespace plovanex
