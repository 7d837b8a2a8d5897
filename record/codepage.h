#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The one thing the record files need from the platform's code-page converter: turn a run of
// text into the other encoding and say where it had to stop. Everything else (what to put in
// place of a character that cannot be converted, which encoding to try first) lives in
// encoding.cpp, so another platform only has to supply these two functions (Windows would use
// WideCharToMultiByte / MultiByteToWideChar with code page 932).
namespace zubeki::codepage {

// Appends to `out` the conversion of the longest prefix of `in` that converts cleanly and answers
// how many bytes of `in` it used. It stops before the first sequence that is invalid in the source
// encoding, cannot be held by the target encoding, or is cut off at the end of `in`; it answers 0
// when that sequence is the very first one (or when the converter is unavailable).
std::size_t utf8ToCp932Prefix(std::string_view in, std::string& out);
std::size_t cp932ToUtf8Prefix(std::string_view in, std::string& out);

} // namespace zubeki::codepage
