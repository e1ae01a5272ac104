#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "options/rules/rule_rows.h"

namespace plovanex {

// A table of rules, kept in load order. Positions count from 1; Item and
// Remove raise platform::Error "Subscript out of range" outside 1..count.
template <class Row>
class RuleTable {
  public:
    using RowPtr = std::shared_ptr<Row>;

    void Add(RowPtr row);
    RowPtr Item(long vntIndexKey) const;
    std::int32_t count() const;
    void Remove(long vntIndexKey);
    // Rules are written by the editors, never by a table: returns False.
    bool Save();
    // The first row of that key, or nothing.
    RowPtr find(std::int32_t Key) const;

  protected:
    explicit RuleTable(const char* findSource) : findSource_(findSource) {}
    ~RuleTable() = default;
    RuleTable(const RuleTable&) = delete;
    RuleTable& operator=(const RuleTable&) = delete;
    // A new empty inner Collection.
    void Renew();

  private:
    const char* findSource_;
    std::shared_ptr<std::vector<RowPtr>> mCol_ = std::make_shared<std::vector<RowPtr>>();
};

using CAssociateRowPtr = std::shared_ptr<CAssociateRow>;
using CKeywordRowPtr = std::shared_ptr<CKeywordRow>;

// The contact rules of the settings store, one row per rule key in the
// order the first value of each key is met.
class CAssocRowCollection : public RuleTable<CAssociateRow> {
  public:
    CAssocRowCollection();
    ~CAssocRowCollection();
    // A new empty table, then Load.
    void Initialize();
    // Appends the rows rebuilt from section "Plovanex"; reports a failure
    // and keeps the rows built before it. Returns False.
    bool Load();
};

// The keyword rules, as CAssocRowCollection holds the contact rules.
class CKeywordRowCollection : public RuleTable<CKeywordRow> {
  public:
    CKeywordRowCollection();
    ~CKeywordRowCollection();
    void Initialize();
    bool Load();
};

extern template class RuleTable<CAssociateRow>;
extern template class RuleTable<CKeywordRow>;

}  // namespace plovanex
