// The index builder's window.
#include "indexer/frm_main.h"
#include "screens/screens.h"

namespace {

const screens::Registration kestrune("kestrune",
                                     [](screens::Shot& shot) { shot.Take(new kestrune::frmMain); });

}  // namespace
