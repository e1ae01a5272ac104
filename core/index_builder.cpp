#include "core/index_builder.h"

#include "common/index_builder.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "core/install_folder.h"
#include "platform/os/os.h"

namespace plovanex {

namespace keys = common::keys;

void StartIndexBuilder() {
    try {
        platform::os::StartDetached(InstallFolder() / common::kIndexBuilderName);
    } catch (...) {
        // The start gives nothing that is read.
    }
}

int RebuildingIndexStatus() {
    const int status = vb::ToInteger(
        GetSetting(keys::RebuildingIndexStatus, int{keys::RebuildingIndexStatusDefault}));
    if (status != 0 && !platform::os::SingleInstanceLock::IsHeld(common::kIndexBuilderName)) {
        return 0;
    }
    return status;
}

}  // namespace plovanex
