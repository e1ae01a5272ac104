// Opens any input as a persisted recordset, then filters and walks it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ado/recordset.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The text after the last NUL, when there is one, is also tried as a filter.
    const auto nul = input.rfind('\0');
    const std::string filter = nul == std::string::npos ? "" : input.substr(nul + 1);
    platform::ado::Recordset rs;
    try {
        rs.OpenXml(input);
    } catch (const platform::Error&) {
        return 0;
    }
    for (const std::string& criteria :
         {std::string(), "FullName LIKE *a*", "FullName LIKE " + filter, filter}) {
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
    return 0;
}
