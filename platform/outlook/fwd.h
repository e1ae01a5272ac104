#pragma once

#include <memory>

// Forward declarations of the mail client's object model, for headers that
// only pass its objects along.
namespace outlook {
class Object;
class Application;
class NameSpace;
class MAPIFolder;
class Item;
class Inspector;
class Explorer;
using ObjectPtr = std::shared_ptr<Object>;
using ApplicationPtr = std::shared_ptr<Application>;
using NameSpacePtr = std::shared_ptr<NameSpace>;
using FolderPtr = std::shared_ptr<MAPIFolder>;
using ItemPtr = std::shared_ptr<Item>;
using InspectorPtr = std::shared_ptr<Inspector>;
using ExplorerPtr = std::shared_ptr<Explorer>;
}  // namespace outlook
