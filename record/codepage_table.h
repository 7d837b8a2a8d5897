#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Code page 932 from a table of our own, converting exactly as glibc iconv "CP932" does, for the
// platforms whose C library has no such converter (the browser's). Same contract as codepage.h.
namespace zubeki::codepage::table {

std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out);
std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out);

} // namespace zubeki::codepage::table
