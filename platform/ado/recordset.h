#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::ado {

inline constexpr int adOpenUnspecified = -1;
inline constexpr int adOpenStatic = 3;
inline constexpr int adLockUnspecified = -1;
inline constexpr int adLockReadOnly = 1;
inline constexpr int adCmdUnspecified = -1;
inline constexpr int adStateClosed = 0;
inline constexpr int adStateOpen = 1;

// One field of the current record. Valid until the recordset moves, is
// filtered or is closed.
class Field {
  public:
    Field(std::string_view name, std::optional<std::string_view> value)
        : name_(name), value_(value) {}
    std::string Name() const { return std::string(name_); }
    bool IsNull() const { return !value_.has_value(); }
    // The value as text; raises platform::Error for a null value, as reading
    // Null into a text does.
    std::string Value() const;
    // The same text without a copy, in the recordset's own storage: valid
    // until the recordset is closed or opened again.
    std::string_view Text() const;

  private:
    std::string_view name_;
    std::optional<std::string_view> value_;
};

// A read-only recordset over a persisted-XML document, opened with
// "Provider=MSPersist;" and a static cursor. Rows directly under rs:data,
// in rs:insert and in rs:update (the original with the changed values laid
// over it) are its records, in document order; rows in rs:delete are not.
// Every failing call raises platform::Error with a description.
class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // Reads the whole file at source. The recordset must be closed.
    void Open(const std::string& source, const std::string& activeConnection,
              int cursorType = adOpenStatic, int lockType = adLockReadOnly,
              int options = adCmdUnspecified);
    // Opens the document held in text, as Open does with a file.
    void OpenXml(std::string text);
    void Close();
    int State() const;

    // The number of records the filter lets through.
    long RecordCount() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    // Past the last record (also True when there are none).
    bool Eof() const;
    // Before the first record: True only when there are none.
    bool Bof() const;
    // The field of the current record; names compare without regard to case.
    Field Fields(std::string_view name) const;

    // Sets the filter and moves to the first record it lets through. The
    // empty text shows every record. Understood: "Column LIKE value" and
    // "Column = value", where the value runs to the end of the text, may be
    // quoted with apostrophes, and for LIKE may begin and end with * or %;
    // comparisons ignore case. Anything else raises and keeps the filter.
    void Filter(const std::string& criteria);
    const std::string& Filter() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform::ado
