#include "options/rules/rule_tables.h"

#include <exception>
#include <string>
#include <string_view>

#include "common/settings_keys.h"
#include "common/vb_convert.h"
#include "core/globals.h"
#include "options/rules/rule_store.h"
#include "platform/error.h"
#include "platform/settings/settings_store.h"

namespace plovanex {

namespace keys = common::keys;

template <class Row>
void RuleTable<Row>::Add(RowPtr row) {
    mCol_->push_back(std::move(row));
}

template <class Row>
typename RuleTable<Row>::RowPtr RuleTable<Row>::Item(long vntIndexKey) const {
    if (vntIndexKey < 1 || static_cast<std::size_t>(vntIndexKey) > mCol_->size()) {
        throw platform::Error("Subscript out of range");
    }
    return (*mCol_)[static_cast<std::size_t>(vntIndexKey) - 1];
}

template <class Row>
std::int32_t RuleTable<Row>::count() const {
    return static_cast<std::int32_t>(mCol_->size());
}

template <class Row>
void RuleTable<Row>::Remove(long vntIndexKey) {
    Item(vntIndexKey);
    mCol_->erase(mCol_->begin() + (vntIndexKey - 1));
}

template <class Row>
bool RuleTable<Row>::Save() {
    return false;
}

template <class Row>
typename RuleTable<Row>::RowPtr RuleTable<Row>::find(std::int32_t Key) const {
    return Trapped({findSource_, 0, false}, [&](long&) -> RowPtr {
        for (long i = 1; i <= count(); ++i) {
            auto row = Item(i);
            if (row->Key() == Key) {
                return row;
            }
        }
        return nullptr;
    });
}

template <class Row>
void RuleTable<Row>::Renew() {
    mCol_ = std::make_shared<std::vector<RowPtr>>();
}

template class RuleTable<CAssociateRow>;
template class RuleTable<CKeywordRow>;

namespace {

// Walks section "Plovanex" in the store's order. Every value whose name
// holds stemWord after a rule key goes to that key's row, made and appended
// when the table lacks it; apply gets the name from the stem word on. step
// tells the block that runs. An absent section gives no rows.
template <class Row, class Apply>
void LoadRows(RuleTable<Row>& table, const char* stemWord, long& step, Apply apply) {
    step = 10;
    auto all =
        platform::settings::GetAllSettings(Helper().SettingsAppName(), keys::SectionPlovanex);
    if (!all) {
        return;
    }
    for (const auto& [name, value] : *all) {
        step = 20;
        const auto key = RuleKeyOf(name, stemWord);
        if (!key) {
            continue;
        }
        const auto pos = name.find(stemWord);
        step = 30;
        std::shared_ptr<Row> row = table.count() > 0 ? table.find(*key) : nullptr;
        if (!row) {
            row = std::make_shared<Row>();
            row->SetKey(*key);
            table.Add(row);
        }
        step = 40;
        apply(*row, std::string_view(name).substr(pos), value);
        step = 50;
        row->SetKey(*key);
    }
}

}  // namespace

CAssocRowCollection::CAssocRowCollection() : RuleTable("Plovanex.CAssocRowCollection.Find") {}

CAssocRowCollection::~CAssocRowCollection() {
    Save();
}

void CAssocRowCollection::Initialize() {
    Renew();
    Load();
}

bool CAssocRowCollection::Load() {
    Trapped({"Plovanex.CAssociateRows.Load", 0, false}, [&](long& step) {
        LoadRows<CAssociateRow>(
            *this, keys::AssocStem, step,
            [](CAssociateRow& row, std::string_view stem, const std::string& value) {
                if (stem.starts_with(keys::AssocContactCount)) {
                    row.SetContactCount(vb::ToLong(value));
                } else if (stem.starts_with(keys::AssocContactName)) {
                    row.ContactNames()->push_back(value);
                } else if (stem.starts_with(keys::AssocContactTag)) {
                    row.ContactTags()->push_back(value);
                } else if (stem.starts_with(keys::AssocFolderCount)) {
                    row.SetFolderCount(vb::ToLong(value));
                } else if (stem.starts_with(keys::AssocFolderEntryId)) {
                    row.FolderEntryIds()->push_back(value);
                } else if (stem.starts_with(keys::AssocFolderName)) {
                    row.FolderNames()->push_back(value);
                } else if (stem.starts_with(keys::AssocFolderStoreId)) {
                    row.FolderStoreIds()->push_back(value);
                }
            });
    });
    return false;
}

CKeywordRowCollection::CKeywordRowCollection() : RuleTable("Plovanex.CKeywordRowCollection.Find") {}

CKeywordRowCollection::~CKeywordRowCollection() {
    Save();
}

void CKeywordRowCollection::Initialize() {
    Renew();
    Load();
}

bool CKeywordRowCollection::Load() {
    Trapped({"Plovanex.CKeywordRows.Load", 0}, [&](long& step) {
        LoadRows<CKeywordRow>(
            *this, keys::KeywordStem, step,
            [](CKeywordRow& row, std::string_view stem, const std::string& value) {
                if (stem.starts_with(keys::Keywords)) {
                    row.SetKeywords(value);
                } else if (stem.starts_with(keys::KeywordFolderCount)) {
                    row.SetFolderCount(vb::ToLong(value));
                } else if (stem.starts_with(keys::KeywordFolderEntryId)) {
                    row.FolderEntryIds()->push_back(value);
                } else if (stem.starts_with(keys::KeywordFolderName)) {
                    row.FolderNames()->push_back(value);
                } else if (stem.starts_with(keys::KeywordFolderStoreId)) {
                    row.FolderStoreIds()->push_back(value);
                }
            });
    });
    return false;
}

}  // namespace plovanex
