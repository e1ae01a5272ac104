#include "platform/ado/recordset.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <pugixml.hpp>
#include <vector>

#include "platform/error.h"

namespace platform::ado {
namespace {

constexpr std::string_view kSchemaNs = "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882";
constexpr std::string_view kRowsetNs = "urn:schemas-microsoft-com:rowset";
constexpr std::uint32_t kNull = std::numeric_limits<std::uint32_t>::max();

const char* const kClosed = "Operation is not allowed when the object is closed.";
const char* const kNoCurrent =
    "Either BOF or EOF is True: the operation requires a current record.";

[[noreturn]] void Fail(const std::string& description) {
    throw platform::Error(description);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Text folded for comparisons without regard to case, code point by code
// point; bytes that are not UTF-8 stay as they are.
void AppendFolded(std::string& out, std::string_view text) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t i = 0;
    while (i < length) {
        if (s[i] < 0x80) {
            out += LowerAscii(static_cast<char>(s[i]));
            ++i;
            continue;
        }
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            out.append(
                text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
            continue;
        }
        std::uint8_t buffer[U8_MAX_LENGTH];
        std::int32_t n = 0;
        U8_APPEND_UNSAFE(buffer, n, u_foldCase(c, U_FOLD_CASE_DEFAULT));
        out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
    }
}

std::string Folded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text);
    return out;
}

std::string_view Trim(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The prefix and the local part of a qualified name.
std::pair<std::string_view, std::string_view> SplitName(std::string_view name) {
    const auto colon = name.find(':');
    if (colon == std::string_view::npos) {
        return {{}, name};
    }
    return {name.substr(0, colon), name.substr(colon + 1)};
}

// The namespace declarations in force at one element, nearest first.
class Scope {
  public:
    Scope() = default;
    // The declarations of node and of every ancestor.
    static Scope Of(pugi::xml_node node) {
        Scope scope;
        for (; node; node = node.parent()) {
            scope.Add(node);
        }
        return scope;
    }
    // This scope with node's own declarations in front.
    Scope Inside(pugi::xml_node node) const {
        if (!Declares(node)) {
            return *this;
        }
        Scope scope;
        scope.Add(node);
        scope.entries_.insert(scope.entries_.end(), entries_.begin(), entries_.end());
        return scope;
    }
    static bool Declares(pugi::xml_node node) {
        for (auto a : node.attributes()) {
            if (IsDeclaration(a.name())) {
                return true;
            }
        }
        return false;
    }
    static bool IsDeclaration(std::string_view name) {
        return name == "xmlns" || name.substr(0, 6) == "xmlns:";
    }
    // The namespace of a prefix; the empty prefix gives the default one.
    std::string_view Uri(std::string_view prefix) const {
        for (const auto& [p, uri] : entries_) {
            if (p == prefix) {
                return uri;
            }
        }
        return {};
    }
    bool Is(std::string_view qualified, std::string_view ns, std::string_view local) const {
        auto [prefix, name] = SplitName(qualified);
        return name == local && Uri(prefix) == ns;
    }

  private:
    void Add(pugi::xml_node node) {
        for (auto a : node.attributes()) {
            std::string_view name = a.name();
            if (name == "xmlns") {
                entries_.emplace_back(std::string_view{}, a.value());
            } else if (name.substr(0, 6) == "xmlns:") {
                entries_.emplace_back(name.substr(6), a.value());
            }
        }
    }
    std::vector<std::pair<std::string_view, std::string_view>> entries_;
};

struct Cell {
    std::uint32_t offset = 0;
    std::uint32_t length = kNull;
};

struct Column {
    std::string name;     // the attribute name in the rows
    std::string display;  // the field's name
};

// The records of one document, kept column by column in one arena of text.
struct Table {
    std::vector<Column> columns;
    std::string arena;
    std::vector<Cell> cells;  // record-major: record * columns + column
    std::size_t records = 0;

    std::optional<std::string_view> Value(std::size_t record, std::size_t column) const {
        const Cell& cell = cells[record * columns.size() + column];
        if (cell.length == kNull) {
            return std::nullopt;
        }
        return std::string_view(arena).substr(cell.offset, cell.length);
    }
};

// Reads the rows of one document into a table.
class Loader {
  public:
    explicit Loader(Table& table) : table_(table) {}

    void Load(pugi::xml_node root) {
        const Scope scope = Scope::Of(root);
        pugi::xml_node schema;
        pugi::xml_node data;
        for (auto child : root.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Scope inner = scope.Inside(child);
            if (!schema && inner.Is(child.name(), kSchemaNs, "Schema")) {
                schema = child;
            } else if (!data && inner.Is(child.name(), kRowsetNs, "data")) {
                data = child;
            }
        }
        if (!schema) {
            Fail("Recordset cannot be created: the document holds no rowset schema.");
        }
        if (!data) {
            Fail("Recordset cannot be created: the document holds no rs:data element.");
        }
        ReadSchema(schema, scope.Inside(schema));
        ReadData(data, scope.Inside(data));
    }

  private:
    void ReadSchema(pugi::xml_node schema, const Scope& scope) {
        pugi::xml_node type;
        Scope typeScope;
        for (auto child : schema.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            typeScope = scope.Inside(child);
            if (typeScope.Is(child.name(), kSchemaNs, "ElementType")) {
                type = child;
                break;
            }
        }
        if (!type) {
            Fail("Recordset cannot be created: the schema declares no row type.");
        }
        rowName_ = type.attribute("name").value();
        if (rowName_.empty()) {
            Fail("Recordset cannot be created: the row type has no name.");
        }
        rowNs_ = std::string("#") + schema.attribute("id").value();
        for (auto child : type.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Scope inner = typeScope.Inside(child);
            if (!inner.Is(child.name(), kSchemaNs, "AttributeType")) {
                continue;
            }
            Column column;
            column.name = child.attribute("name").value();
            for (auto a : child.attributes()) {
                if (inner.Is(a.name(), kRowsetNs, "name")) {
                    column.display = a.value();
                }
            }
            if (column.name.empty()) {
                Fail("Recordset cannot be created: a column has no name.");
            }
            if (column.display.empty()) {
                column.display = column.name;
            }
            for (const Column& other : table_.columns) {
                if (other.name == column.name) {
                    Fail("Recordset cannot be created: the column '" + column.name +
                         "' is declared twice.");
                }
            }
            table_.columns.push_back(std::move(column));
        }
        values_.resize(table_.columns.size());
    }

    bool IsRow(pugi::xml_node node, const Scope& scope) const {
        return scope.Is(node.name(), rowNs_, rowName_);
    }

    void ReadData(pugi::xml_node data, const Scope& scope) {
        for (auto child : data.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Scope inner = scope.Inside(child);
            if (IsRow(child, inner)) {
                AddRecord(child, nullptr, inner);
            } else if (inner.Is(child.name(), kRowsetNs, "insert")) {
                ReadRows(child, inner);
            } else if (inner.Is(child.name(), kRowsetNs, "update")) {
                ReadUpdate(child, inner);
            }
        }
    }

    void ReadRows(pugi::xml_node parent, const Scope& scope) {
        for (auto child : parent.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Scope inner = scope.Inside(child);
            if (IsRow(child, inner)) {
                AddRecord(child, nullptr, inner);
            }
        }
    }

    // Each changed row is laid over the next original row; an original
    // without a changed row stands as it is.
    void ReadUpdate(pugi::xml_node update, const Scope& scope) {
        std::vector<std::pair<pugi::xml_node, Scope>> originals;
        std::vector<std::pair<pugi::xml_node, Scope>> changed;
        for (auto child : update.children()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            const Scope inner = scope.Inside(child);
            if (IsRow(child, inner)) {
                changed.emplace_back(child, inner);
            } else if (inner.Is(child.name(), kRowsetNs, "original")) {
                for (auto row : child.children()) {
                    if (row.type() != pugi::node_element) {
                        continue;
                    }
                    Scope rowScope = inner.Inside(row);
                    if (IsRow(row, rowScope)) {
                        originals.emplace_back(row, std::move(rowScope));
                    }
                }
            }
        }
        for (std::size_t i = 0; i < std::max(originals.size(), changed.size()); ++i) {
            if (i < originals.size() && i < changed.size()) {
                ReadValues(originals[i].first, originals[i].second, true);
                AddRecord(changed[i].first, &originals[i].first, changed[i].second);
            } else if (i < originals.size()) {
                AddRecord(originals[i].first, nullptr, originals[i].second);
            } else {
                AddRecord(changed[i].first, nullptr, changed[i].second);
            }
        }
    }

    // The record of row; with an original, row's values and nulls are laid
    // over the values ReadValues already took from it.
    void AddRecord(pugi::xml_node row, const pugi::xml_node* original, const Scope& scope) {
        ReadValues(row, scope, original == nullptr);
        for (const auto& value : values_) {
            Cell cell;
            if (value) {
                if (table_.arena.size() + value->size() >= kNull) {
                    Fail("Recordset cannot be created: the document is too large.");
                }
                cell.offset = static_cast<std::uint32_t>(table_.arena.size());
                cell.length = static_cast<std::uint32_t>(value->size());
                table_.arena.append(*value);
            }
            table_.cells.push_back(cell);
        }
        ++table_.records;
    }

    void ReadValues(pugi::xml_node row, const Scope& rowScope, bool fresh) {
        if (fresh) {
            std::fill(values_.begin(), values_.end(), std::nullopt);
        }
        const Scope& scope = rowScope;
        std::string_view forceNull;
        for (auto a : row.attributes()) {
            std::string_view name = a.name();
            if (Scope::IsDeclaration(name)) {
                continue;
            }
            if (name.find(':') != std::string_view::npos) {
                if (scope.Is(name, kRowsetNs, "forcenull")) {
                    forceNull = a.value();
                }
                continue;
            }
            const std::size_t column = ColumnOf(name);
            if (column < values_.size()) {
                values_[column] = std::string_view(a.value());
            }
        }
        while (!forceNull.empty()) {
            const auto space = forceNull.find_first_of(" \t\r\n");
            const std::string_view name = forceNull.substr(0, space);
            const std::size_t column = ColumnOf(name);
            if (column < values_.size()) {
                values_[column] = std::nullopt;
            }
            forceNull =
                space == std::string_view::npos ? std::string_view{} : forceNull.substr(space + 1);
        }
    }

    std::size_t ColumnOf(std::string_view name) const {
        for (std::size_t i = 0; i < table_.columns.size(); ++i) {
            if (table_.columns[i].name == name) {
                return i;
            }
        }
        return table_.columns.size();
    }

    Table& table_;
    std::string rowName_;
    std::string rowNs_;
    std::vector<std::optional<std::string_view>> values_;
};

// A filter as text: which column, how it compares, and with what.
struct Criteria {
    enum class Test { Equal, Prefix, Suffix, Contains };
    std::size_t column = 0;
    Test test = Test::Equal;
    std::string folded;  // the value, folded
};

Criteria ParseCriteria(const Table& table, std::string_view text) {
    const std::string invalid = "The filter \"" + std::string(text) +
                                "\" cannot be read: arguments are of the wrong type, out of "
                                "acceptable range, or in conflict with one another.";
    std::string_view rest = Trim(text);
    std::string_view name;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) {
            Fail(invalid);
        }
        name = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
    } else {
        const auto end = rest.find_first_of(" \t\r\n=");
        name = rest.substr(0, end);
        rest.remove_prefix(name.size());
    }
    Criteria criteria;
    criteria.column = table.columns.size();
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (EqualIgnoringCase(table.columns[i].display, name)) {
            criteria.column = i;
            break;
        }
    }
    if (criteria.column == table.columns.size()) {
        Fail(invalid);
    }
    rest = Trim(rest);
    bool like = false;
    if (!rest.empty() && rest.front() == '=') {
        rest.remove_prefix(1);
    } else if (rest.size() > 4 && EqualIgnoringCase(rest.substr(0, 4), "like") &&
               (rest[4] == ' ' || rest[4] == '\t')) {
        like = true;
        rest.remove_prefix(4);
    } else {
        Fail(invalid);
    }
    // The value runs to the end: only the blanks before it are dropped.
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    if (rest.empty()) {
        Fail(invalid);
    }
    std::string value;
    if (rest.size() >= 2 && rest.front() == '\'' && rest.back() == '\'') {
        rest = rest.substr(1, rest.size() - 2);
        for (std::size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '\'') {
                if (i + 1 >= rest.size() || rest[i + 1] != '\'') {
                    Fail(invalid);
                }
                ++i;
            }
            value += rest[i];
        }
    } else {
        value = rest;
    }
    if (like) {
        const auto wild = [](char c) { return c == '*' || c == '%'; };
        const bool front = !value.empty() && wild(value.front());
        if (front) {
            value.erase(0, 1);
        }
        const bool back = !value.empty() && wild(value.back());
        if (back) {
            value.pop_back();
        }
        criteria.test = front && back ? Criteria::Test::Contains
                        : front       ? Criteria::Test::Suffix
                        : back        ? Criteria::Test::Prefix
                                      : Criteria::Test::Equal;
    }
    criteria.folded = Folded(value);
    return criteria;
}

}  // namespace

std::string Field::Value() const {
    return std::string(Text());
}

std::string_view Field::Text() const {
    if (!value_) {
        Fail("Invalid use of Null: the field '" + std::string(name_) + "' is null.");
    }
    return *value_;
}

struct Recordset::Impl {
    bool open = false;
    Table table;
    // The folded text of a column, built at its first filter.
    struct FoldedColumn {
        std::string arena;
        std::vector<std::uint32_t> ends;  // end of each record's text
    };
    std::vector<std::unique_ptr<FoldedColumn>> folded;
    std::string filter;
    bool filtered = false;
    std::vector<std::uint32_t> view;  // the records the filter lets through
    std::size_t position = 0;

    void RequireOpen() const {
        if (!open) {
            Fail(kClosed);
        }
    }
    std::size_t Count() const { return filtered ? view.size() : table.records; }
    std::size_t Record() const { return filtered ? view[position] : position; }

    const FoldedColumn& FoldedOf(std::size_t column) {
        auto& slot = folded[column];
        if (!slot) {
            slot = std::make_unique<FoldedColumn>();
            slot->arena.reserve(table.arena.size() /
                                std::max<std::size_t>(1, table.columns.size()));
            slot->ends.reserve(table.records);
            for (std::size_t r = 0; r < table.records; ++r) {
                if (auto value = table.Value(r, column)) {
                    AppendFolded(slot->arena, *value);
                }
                slot->ends.push_back(static_cast<std::uint32_t>(slot->arena.size()));
            }
        }
        return *slot;
    }

    void Apply(const Criteria& criteria) {
        const FoldedColumn& column = FoldedOf(criteria.column);
        const std::string_view arena = column.arena;
        const std::string_view value = criteria.folded;
        std::vector<std::uint32_t> matches;
        std::uint32_t start = 0;
        for (std::size_t r = 0; r < table.records; ++r) {
            const std::uint32_t end = column.ends[r];
            const std::string_view text = arena.substr(start, end - start);
            start = end;
            if (table.cells[r * table.columns.size() + criteria.column].length == kNull) {
                continue;
            }
            bool match = false;
            switch (criteria.test) {
                case Criteria::Test::Equal:
                    match = text == value;
                    break;
                case Criteria::Test::Prefix:
                    match = text.substr(0, value.size()) == value;
                    break;
                case Criteria::Test::Suffix:
                    match = text.size() >= value.size() &&
                            text.substr(text.size() - value.size()) == value;
                    break;
                case Criteria::Test::Contains:
                    match = text.find(value) != std::string_view::npos;
                    break;
            }
            if (match) {
                matches.push_back(static_cast<std::uint32_t>(r));
            }
        }
        view = std::move(matches);
        filtered = true;
    }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(const std::string& source, const std::string& activeConnection, int cursorType,
                     int lockType, int /*options*/) {
    if (impl_->open) {
        Fail("Operation is not allowed when the object is open.");
    }
    std::string_view provider = Trim(activeConnection);
    if (!provider.empty() && provider.back() == ';') {
        provider.remove_suffix(1);
    }
    if (!EqualIgnoringCase(Trim(provider), "Provider=MSPersist")) {
        Fail("Provider cannot be found for the connection \"" + activeConnection +
             "\": only \"Provider=MSPersist;\" is offered.");
    }
    if (cursorType != adOpenStatic && cursorType != adOpenUnspecified) {
        Fail("The cursor type " + std::to_string(cursorType) +
             " is not offered: a persisted recordset opens with a static cursor.");
    }
    if (lockType != adLockReadOnly && lockType != adLockUnspecified) {
        Fail("The lock type " + std::to_string(lockType) +
             " is not offered: the recordset is read-only.");
    }
    std::error_code ec;
    if (std::filesystem::is_directory(source, ec)) {
        Fail("The file \"" + source + "\" could not be opened: it is a folder.");
    }
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        Fail("The file \"" + source + "\" could not be opened.");
    }
    std::string text;
    try {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        // The stream raises where the system refuses the read.
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        Fail("The file \"" + source + "\" could not be read.");
    }
    OpenXml(std::move(text));
}

void Recordset::OpenXml(std::string text) {
    if (impl_->open) {
        Fail("Operation is not allowed when the object is open.");
    }
    Table table;
    {
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer_inplace(text.data(), text.size());
        if (!parsed) {
            Fail(std::string("Recordset cannot be created: the source XML is incomplete or "
                             "invalid (") +
                 parsed.description() + " at offset " + std::to_string(parsed.offset) + ").");
        }
        const pugi::xml_node root = doc.document_element();
        if (!root) {
            Fail("Recordset cannot be created: the source XML holds no element.");
        }
        Loader(table).Load(root);
    }
    table.arena.shrink_to_fit();
    table.cells.shrink_to_fit();
    impl_->table = std::move(table);
    impl_->folded.clear();
    impl_->folded.resize(impl_->table.columns.size());
    impl_->filter.clear();
    impl_->filtered = false;
    impl_->view.clear();
    impl_->position = 0;
    impl_->open = true;
}

void Recordset::Close() {
    impl_->RequireOpen();
    impl_ = std::make_unique<Impl>();
}

int Recordset::State() const {
    return impl_->open ? adStateOpen : adStateClosed;
}

long Recordset::RecordCount() const {
    impl_->RequireOpen();
    return static_cast<long>(impl_->Count());
}

void Recordset::MoveFirst() {
    impl_->RequireOpen();
    if (impl_->Count() == 0) {
        Fail(kNoCurrent);
    }
    impl_->position = 0;
}

void Recordset::MoveLast() {
    impl_->RequireOpen();
    if (impl_->Count() == 0) {
        Fail(kNoCurrent);
    }
    impl_->position = impl_->Count() - 1;
}

void Recordset::MoveNext() {
    impl_->RequireOpen();
    if (impl_->position >= impl_->Count()) {
        Fail(kNoCurrent);
    }
    ++impl_->position;
}

bool Recordset::Eof() const {
    impl_->RequireOpen();
    return impl_->position >= impl_->Count();
}

bool Recordset::Bof() const {
    impl_->RequireOpen();
    return impl_->Count() == 0;
}

Field Recordset::Fields(std::string_view name) const {
    impl_->RequireOpen();
    const Table& table = impl_->table;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (EqualIgnoringCase(table.columns[i].display, name)) {
            if (impl_->position >= impl_->Count()) {
                Fail(kNoCurrent);
            }
            return Field(table.columns[i].display, table.Value(impl_->Record(), i));
        }
    }
    Fail("Item cannot be found in the collection: there is no field \"" + std::string(name) +
         "\".");
}

void Recordset::Filter(const std::string& criteria) {
    impl_->RequireOpen();
    if (Trim(criteria).empty()) {
        impl_->filtered = false;
        impl_->view.clear();
    } else {
        impl_->Apply(ParseCriteria(impl_->table, criteria));
    }
    impl_->filter = criteria;
    impl_->position = 0;
}

const std::string& Recordset::Filter() const {
    impl_->RequireOpen();
    return impl_->filter;
}

}  // namespace platform::ado
