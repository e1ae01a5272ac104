// Opens any input as a persisted recordset, then filters and walks it. The
// input is tried on its own and as the rows of a folder index, so that the
// row reader is reached without a corpus.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ado/recordset.h"
#include "platform/error.h"

namespace {

const char* const kHead =
    "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
    " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
    "<s:Schema id='RowsetSchema'><s:ElementType name='row'>"
    "<s:AttributeType name='FullName'/><s:AttributeType name='FolderPath'/>"
    "<s:AttributeType name='InternetCodepage'/></s:ElementType></s:Schema><rs:data>";
const char* const kTail = "</rs:data></xml>";

// Bytes 1 to 15 stand for the pieces of a row document, so that short
// inputs build rows, updates and deletes.
std::string Expanded(const std::string& body) {
    static const char* const kPieces[] = {"<z:row ",
                                          "FullName='",
                                          "FolderPath='",
                                          "InternetCodepage='",
                                          "rs:forcenull='",
                                          "/>",
                                          "<rs:insert>",
                                          "</rs:insert>",
                                          "<rs:update>",
                                          "</rs:update>",
                                          "<rs:original>",
                                          "</rs:original>",
                                          "<rs:delete>",
                                          "</rs:delete>",
                                          " xmlns:z='#RowsetSchema' "};
    std::string out;
    for (char c : body) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 1 && code <= 15) {
            out += kPieces[code - 1];
        } else {
            out += c;
        }
    }
    return out;
}

void Exercise(const std::string& text, const std::string& filter) {
    platform::ado::Recordset rs;
    try {
        rs.OpenXml(text);
    } catch (const platform::Error&) {
        return;
    }
    for (const std::string& criteria :
         {std::string(), std::string("FullName LIKE *a*"), "FullName LIKE " + filter, filter}) {
        try {
            rs.Filter(criteria);
            if (rs.RecordCount() > 0) {
                rs.MoveLast();
                rs.MoveFirst();
            }
            for (; !rs.Eof(); rs.MoveNext()) {
                for (const char* name : {"FullName", "FolderPath", "InternetCodepage"}) {
                    try {
                        auto field = rs.Fields(name);
                        if (!field.IsNull()) {
                            (void)field.Value().size();
                        }
                    } catch (const platform::Error&) {
                    }
                }
            }
        } catch (const platform::Error&) {
        }
    }
    rs.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The text after the last NUL, when there is one, is also tried as a filter.
    const auto nul = input.rfind('\0');
    const std::string filter = nul == std::string::npos ? "" : input.substr(nul + 1);
    const std::string body = nul == std::string::npos ? input : input.substr(0, nul);
    Exercise(input, filter);
    Exercise(kHead + Expanded(body) + kTail, filter);
    return 0;
}
