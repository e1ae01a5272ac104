#pragma once

#include "core/choose_outlook_folders.h"

namespace plovanex {

// The factory of the real chooser dialogs, for InstallChooserFactory: the
// search variant (ChooserVariant::Search); nothing for the others. It needs
// the program's QApplication and raises platform::Error without one.
ChooserFactory MakeChooserFactory();

// True while a chooser form of this library is alive (deleted later ones
// included): the library must not be unloaded before they are gone.
bool ChooserFormsAlive();

}  // namespace plovanex
