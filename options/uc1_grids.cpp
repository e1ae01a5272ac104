// The keyword and contact rule grids, their right-button menu, and Add, Edit
// and Delete through the rule editors.

#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <exception>
#include <functional>

#include "common/error_text.h"
#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "options/associate_contact_form.h"
#include "options/keyword_form.h"
#include "options/prop_library.h"
#include "options/rule_grid.h"
#include "options/rules/rule_store.h"
#include "options/uc1_page.h"

namespace plovanex {

namespace keys = common::keys;

namespace {

constexpr int kKeywordTab = 2;
constexpr int kContactTab = 3;
constexpr char kTab = '\t';

// The first `count` entries of a list joined by ";"; a count beyond the
// list stops at its end.
std::string Joined(const StringCollection& entries, std::int32_t count) {
    std::string text;
    if (!entries) {
        return text;
    }
    const auto last = std::min<std::size_t>(entries->size(), count < 0 ? 0 : count);
    for (std::size_t j = 0; j < last; ++j) {
        text += (j == 0 ? "" : ";") + (*entries)[j];
    }
    return text;
}

std::string RowText(std::int32_t key, const std::string& folders, const std::string& list) {
    return std::to_string(key) + kTab + folders + kTab + list;
}

}  // namespace

void UC1::Page::InitGrids() {
    for (auto [grid, model] :
         {std::pair{grdKeywords, keywordGrid}, std::pair{vsFlexGridAssociate, contactGrid}}) {
        model->Clear();
        LayOutRuleGrid(*grid);
        grid->setCurrentIndex({});
    }
    auto& library = Prop();
    library.contactRows = std::make_unique<CAssocRowCollection>();
    library.contactRows->Initialize();
    library.keywordRows = std::make_unique<CKeywordRowCollection>();
    library.keywordRows->Initialize();
}

void UC1::Page::FillGrid() {
    Trapped({common::Source("FillGrid")}, [&](long& step) {
        step = 2;
        InitGrids();
        auto& library = Prop();
        step = 4;
        const auto& contacts = *library.contactRows;
        for (long i = 1; i <= contacts.count(); ++i) {
            const auto row = contacts.Item(i);
            contactGrid->AddItem(RowText(row->Key(), Joined(row->FolderNames(), row->folderCount()),
                                         Joined(row->ContactNames(), row->ContactCount())));
        }
        step = 6;
        if (contacts.count() >= 1) {
            SelectFirstRule(*vsFlexGridAssociate);
        }
        step = 8;
        const auto& keywordRules = *library.keywordRows;
        for (long i = 1; i <= keywordRules.count(); ++i) {
            const auto row = keywordRules.Item(i);
            keywordGrid->AddItem(RowText(row->Key(), Joined(row->FolderNames(), row->folderCount()),
                                         row->keywords()));
        }
        step = 10;
        if (keywordRules.count() >= 1) {
            SelectFirstRule(*grdKeywords);
        }
    });
}

void UC1::Page::GridMouseDown(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        mnuPopup->popup(event->globalPosition().toPoint());
    }
}

void UC1::Page::mnuAdd_Click() {
    std::string viewType = "ADD";
    std::string key, folders, list;
    const int tab = vsFlexGridTab->currentIndex();
    if (tab == kContactTab) {
        auto row = static_cast<std::int16_t>(CurrentGridRow(*vsFlexGridAssociate));
        if (ContactEditor(control->window()).ShowMe(row, viewType, key, folders, list)) {
            contactGrid->AddItem(key + kTab + folders + kTab + list);
        }
    } else if (tab == kKeywordTab) {
        auto row = static_cast<std::int16_t>(CurrentGridRow(*grdKeywords));
        if (KeywordEditor(control->window()).ShowMe(row, viewType, key, folders, list)) {
            keywordGrid->AddItem(key + kTab + folders + kTab + list);
        }
    }
}

void UC1::Page::mnuEdit_Click() {
    const int tab = vsFlexGridTab->currentIndex();
    if (tab == kContactTab) {
        EditAssociateRow();
    } else if (tab == kKeywordTab) {
        EditKeywordRow();
    }
}

void UC1::Page::mnuDelete_Click() {
    const int tab = vsFlexGridTab->currentIndex();
    if (tab == kContactTab) {
        DeleteAssociate();
    } else if (tab == kKeywordTab) {
        DeleteKeywords();
    }
}

namespace {

// Edit of one rule row: the editor opens on the current row of the grid when
// exactly one row is selected, and the grid is rebuilt afterwards.
template <class Editor>
void EditRow(QTableView& grid, RuleGridModel& model, Editor& editor, const char* noneSelected,
             const std::function<void()>& rebuild) {
    Trapped({common::Source("frmRemindMultiple.DblClick"), 0, false}, [&](long&) {
        const auto selected = SelectedGridRows(grid);
        if (selected.size() >= 2) {
            PageMessage(grid, "Please only select one row at a time for editing.");
            return;
        }
        if (selected.empty()) {
            PageMessage(grid, noneSelected);
            return;
        }
        const int current = CurrentGridRow(grid);
        if (current < 1) {
            return;
        }
        auto row = static_cast<std::int16_t>(current);
        std::string viewType = "EDIT";
        std::string key = model.TextMatrix(current, 0);
        std::string folders = model.TextMatrix(current, 1);
        std::string list = model.TextMatrix(current, 2);
        editor().ShowMe(row, viewType, key, folders, list);
        rebuild();
    });
}

}  // namespace

void UC1::Page::EditKeywordRow() {
    QWidget* window = control->window();
    auto editor = [window]() -> KeywordForm& { return KeywordEditor(window); };
    EditRow(*grdKeywords, *keywordGrid, editor, "Please select a keyword row.",
            [this] { FillGrid(); });
}

void UC1::Page::EditAssociateRow() {
    QWidget* window = control->window();
    auto editor = [window]() -> AssociateContactForm& { return ContactEditor(window); };
    EditRow(*vsFlexGridAssociate, *contactGrid, editor, "Please select a row.",
            [this] { FillGrid(); });
}

namespace {

// Deletes the rules of the selected rows, one by one in selection order,
// with deleteRule, then rebuilds the grid once. Deletions made before a
// failure stay.
void DeleteRows(const QTableView& grid, const RuleGridModel& model, const char* procedure,
                const std::function<void(const std::string& key, long& step)>& deleteRule,
                const std::function<void()>& rebuild) {
    Trapped({common::Source(procedure), 0}, [&](long& step) {
        step = 2;
        if (model.Rows() <= 1) {
            return;
        }
        const auto selected = SelectedGridRows(grid);
        if (selected.empty()) {
            PageMessage(grid, "Please select at least one row.");
            return;
        }
        for (int row : selected) {
            step = 4;
            deleteRule(model.TextMatrix(row, 0), step);
        }
        step = 10;
        rebuild();
    });
}

std::int16_t StoredCount(const std::string& name) {
    return vb::ToInteger(GetSetting(name, 0));
}

// The rule's folders 1 to count, each its name, EntryID and StoreID, then
// the count itself.
void DeleteRuleFolders(const std::string& K, int count, const char* countStem, const char* nameStem,
                       const char* entryIdStem, const char* storeIdStem) {
    for (int j = 1; j <= count; ++j) {
        const std::string index = std::to_string(j);
        DeleteSettingQuiet(K + nameStem + index);
        DeleteSettingQuiet(K + entryIdStem + index);
        DeleteSettingQuiet(K + storeIdStem + index);
    }
    DeleteSettingQuiet(K + countStem);
}

}  // namespace

void UC1::Page::DeleteKeywords() {
    DeleteRows(
        *grdKeywords, *keywordGrid, "DeleteKeywords",
        [](const std::string& K, long& step) {
            const int c = StoredCount(K + keys::KeywordFolderCount);
            step = 6;
            DeleteSettingQuiet(K + keys::Keywords);
            DeleteRuleFolders(K, c, keys::KeywordFolderCount, keys::KeywordFolderName,
                              keys::KeywordFolderEntryId, keys::KeywordFolderStoreId);
        },
        [this] { FillGrid(); });
}

void UC1::Page::DeleteAssociate() {
    DeleteRows(
        *vsFlexGridAssociate, *contactGrid, "DeleteAssociate",
        [](const std::string& K, long& step) {
            const int c = StoredCount(K + keys::AssocContactCount);
            const int f = StoredCount(K + keys::AssocFolderCount);
            step = 6;
            for (int j = 1; j <= c; ++j) {
                const std::string index = std::to_string(j);
                DeleteSettingQuiet(K + keys::AssocContactName + index);
                DeleteSettingQuiet(K + keys::AssocContactTag + index);
            }
            // Names and tags beyond the count would go on filing mail.
            DeleteContactsBeyond(K, 0);
            DeleteSettingQuiet(K + keys::AssocContactCount);
            step = 8;
            DeleteRuleFolders(K, f, keys::AssocFolderCount, keys::AssocFolderName,
                              keys::AssocFolderEntryId, keys::AssocFolderStoreId);
        },
        [this] { FillGrid(); });
}

}  // namespace plovanex
