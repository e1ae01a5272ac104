#include "chooser/tree_choice.h"

#include <vector>

#include "chooser/chooser_common.h"
#include "core/globals.h"

namespace plovanex::chooser {

void NodeCheck(const Node& node, bool singleFolderOnly) {
    Trapped({"ChooseOutlookFolders.NodeCheck", 0, false}, [&](long&) {
        if (singleFolderOnly || !node->Checked()) {
            return;
        }
        std::vector<Node> pending{node};
        while (!pending.empty()) {
            Node n = pending.back();
            pending.pop_back();
            for (Node child = n->Child(); child; child = child->Next()) {
                child->SetChecked(true);
                pending.push_back(child);
            }
        }
    });
}

bool AllChildrenChecked(const Node& node) {
    bool all = false;
    Trapped({"ChooseOutlookFolders.AllChildrenChecked", 0, false}, [&](long&) {
        std::vector<Node> pending{node};
        while (!pending.empty()) {
            Node n = pending.back();
            pending.pop_back();
            for (Node child = n->Child(); child; child = child->Next()) {
                if (!child->Checked()) {
                    return;
                }
                pending.push_back(child);
            }
        }
        all = true;
    });
    return all;
}

bool QualifiesForSubfolders(const Node& node) {
    if (!AllChildrenChecked(node)) {
        return false;
    }
    enum class Seen { Unknown, Off, On } state = Seen::Unknown;
    for (Node above = node->Parent(); above; above = above->Parent()) {
        if (!above->Checked()) {
            state = Seen::Off;
        } else if (state == Seen::Off) {
            return false;
        } else {
            state = Seen::On;
        }
    }
    return true;
}

std::string HarvestSelected(platform::widgets::TreeView& tree, ostrevane::FolderList& list,
                            bool singleFolderOnly, const StoreIdOf& storeIdOf,
                            const AddSubfolders& addSubfolders) {
    std::string chosenPath;
    auto& nodes = tree.Nodes();
    for (int i = 1; i <= nodes.Count(); ++i) {
        Node node = nodes.Item(i);
        if (!node->Selected()) {
            continue;
        }
        list.push_back(NewRecord(node->Text(), node->Key(), storeIdOf(node)));
        chosenPath = node->FullPath();
        if (!singleFolderOnly && QualifiesForSubfolders(node)) {
            const auto record = list.back();
            addSubfolders(*record, node->Children() == 0, list);
        }
    }
    return chosenPath;
}

}  // namespace plovanex::chooser
