#pragma once

#include <memory>
#include <string>
#include <vector>

namespace ostrevane {

// The element of every folder list.
struct FolderRecord {
    std::string FolderName;
    std::string EntryID;
    std::string StoreID;
};

using FolderRecordPtr = std::shared_ptr<FolderRecord>;

// A folder list: created by the caller, filled by a chooser, read back by the
// caller. Positions count from 0 here; the system's texts count from 1.
using FolderList = std::vector<FolderRecordPtr>;
using FolderListPtr = std::shared_ptr<FolderList>;

}  // namespace ostrevane
