// Code page 932 from our own table, where the C library has no converter for it.
#include "record/codepage.h"
#include "record/codepage_table.h"

namespace zubeki::codepage {

std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out) {
    return table::utf8ToCp932Prefix(in, out);
}

std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out) {
    return table::cp932ToUtf8Prefix(in, out);
}

} // namespace zubeki::codepage
