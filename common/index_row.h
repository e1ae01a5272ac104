#pragma once

#include <string>
#include <string_view>

// The folder index ("MyFolderList.xml") and its template ("FolderList.xml"):
// the row text every writer puts in and the escaping every reader undoes.
namespace common {

// One row, before its two placeholders are filled.
inline constexpr std::string_view kIndexRowTemplate =
    "<z:row FullName='***myFolderName***' FolderPath='***myFullPath***' "
    "rs:forcenull='InternetCodepage'/>";
// Where the index builder puts the rows in the template.
inline constexpr std::string_view kIndexMarker = "*** My Folder List ***";
// The element after which the upkeep inserts one row.
inline constexpr std::string_view kIndexInsertTag = "<rs:insert>";
// The apostrophe as the index stores it.
inline constexpr std::string_view kIndexApostrophe = "Chr$(39)";

// A folder name or path as it stands in a row's attribute: "'" becomes
// "Chr$(39)", "&" becomes "&amp;", "<" becomes "&lt;", and TAB, CR, LF and
// the other control characters become character references, so that the
// XML reader gives back the text with only the apostrophe still escaped.
// What is no valid UTF-8 becomes U+FFFD, so that any XML reader takes the
// index.
std::string EscapeIndexText(std::string_view text);

// A field value as the recordset gives it, turned back into the name or
// path: "Chr$(39)" becomes "'", then "&amp;" becomes "&".
std::string UnescapeIndexValue(std::string_view value);

// The recordset filter that finds the names holding searchText, without
// regard to case: "FullName LIKE *text*" with the text escaped as the
// recordset holds FullName; empty text gives the empty filter.
std::string IndexSearchFilter(std::string_view searchText);

// Where the upkeep puts a row: just after the first "<rs:insert>", found
// without regard to case; npos when the text holds none.
std::size_t IndexInsertPosition(std::string_view text);

// The row that the index upkeep inserts and removes: CR LF, TAB, then the
// row with the escaped name and path.
std::string IndexRow(std::string_view name, std::string_view path);

// Appends one row as the index builder writes it: TAB, the row, CR LF.
void AppendIndexRow(std::string& rows, std::string_view name, std::string_view path);

// Why the text can serve as no template, as an empty or foreign text cannot:
// "The index template holds no ..." with the marker or "<rs:insert>" it
// lacks; empty when it can serve.
std::string IndexTemplateFault(std::string_view templateText);

// The template with every marker replaced by rows, its line ends made CR LF
// as the rows' are. Raises std::runtime_error with IndexTemplateFault when
// the template can serve as none: such a result could not be read back.
std::string FillIndexTemplate(std::string_view templateText, std::string_view rows);

}  // namespace common
