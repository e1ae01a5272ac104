#include "common/index_row.h"

#include <stdexcept>

#include "common/utf8.h"

namespace common {
namespace {

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        out.append(text, start, at - start);
        out.append(to);
        start = at + from.size();
    }
    out.append(text, start, std::string::npos);
    text = std::move(out);
}

// The index declares UTF-8: a byte that starts no valid sequence, and the
// two codes XML has no place for, become U+FFFD.
void AppendEscaped(std::string& out, std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Char c = DecodeUtf8(text, at);
        if (c.length == 0 || c.code == 0xFFFE || c.code == 0xFFFF) {
            AppendUtf8(out, kReplacementCharacter);
            at += c.length == 0 ? 1 : c.length;
            continue;
        }
        if (c.code == '\'') {
            out += kIndexApostrophe;
        } else if (c.code == '&') {
            out += "&amp;";
        } else if (c.code == '<') {
            out += "&lt;";
        } else if (c.code == 0) {
            // XML cannot carry a NUL in any form; a name ends there anyway.
        } else if (c.code < 0x20) {
            out += "&#";
            out += std::to_string(c.code);
            out += ';';
        } else {
            out.append(text, at, c.length);
        }
        at += c.length;
    }
}

void AppendRow(std::string& out, std::string_view name, std::string_view path) {
    constexpr std::string_view kName = "***myFolderName***";
    constexpr std::string_view kPath = "***myFullPath***";
    constexpr std::string_view row = kIndexRowTemplate;
    const std::size_t atName = row.find(kName);
    const std::size_t atPath = row.find(kPath);
    // The placeholders are filled by position, so a name that itself holds
    // a placeholder's text stays as it is.
    out += row.substr(0, atName);
    AppendEscaped(out, name);
    out += row.substr(atName + kName.size(), atPath - atName - kName.size());
    AppendEscaped(out, path);
    out += row.substr(atPath + kPath.size());
}

// Appends text with every bare LF made CR LF, as the rows end: a template
// copied with LF line ends still gives an index whose first row the upkeep
// finds by its leading CR LF.
void AppendWithCrLf(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
}

}  // namespace

std::string EscapeIndexText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

std::string UnescapeIndexValue(std::string_view value) {
    std::string text(value);
    ReplaceAll(text, kIndexApostrophe, "'");
    ReplaceAll(text, "&amp;", "&");
    return text;
}

std::string IndexSearchFilter(std::string_view searchText) {
    if (searchText.empty()) {
        return {};
    }
    // The recordset holds FullName with the XML escapes already undone, so
    // only the apostrophe is still in its stored form.
    std::string text(searchText);
    ReplaceAll(text, "'", kIndexApostrophe);
    return "FullName LIKE *" + text + "*";
}

std::size_t IndexInsertPosition(std::string_view text) {
    // The element's name is ASCII, and so is what matches it.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const std::string_view tag = kIndexInsertTag;
    for (std::size_t at = 0; at + tag.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < tag.size() && lower(text[at + i]) == tag[i]) {
            ++i;
        }
        if (i == tag.size()) {
            return at + tag.size();
        }
    }
    return std::string_view::npos;
}

std::string IndexRow(std::string_view name, std::string_view path) {
    std::string row = "\r\n\t";
    AppendRow(row, name, path);
    return row;
}

void AppendIndexRow(std::string& rows, std::string_view name, std::string_view path) {
    rows += '\t';
    AppendRow(rows, name, path);
    rows += "\r\n";
}

std::string IndexTemplateFault(std::string_view templateText) {
    if (templateText.find(kIndexMarker) == std::string_view::npos) {
        return "The index template holds no \"" + std::string(kIndexMarker) + "\" marker.";
    }
    if (IndexInsertPosition(templateText) == std::string_view::npos) {
        return "The index template holds no \"" + std::string(kIndexInsertTag) + "\" element.";
    }
    return {};
}

std::string FillIndexTemplate(std::string_view templateText, std::string_view rows) {
    if (const std::string fault = IndexTemplateFault(templateText); !fault.empty()) {
        throw std::runtime_error(fault);
    }
    std::string out;
    out.reserve(templateText.size() + rows.size());
    std::size_t start = 0;
    for (std::size_t at = templateText.find(kIndexMarker); at != std::string_view::npos;
         at = templateText.find(kIndexMarker, start)) {
        AppendWithCrLf(out, templateText.substr(start, at - start));
        out.append(rows);
        start = at + kIndexMarker.size();
    }
    AppendWithCrLf(out, templateText.substr(start));
    return out;
}

}  // namespace common
