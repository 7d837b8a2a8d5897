#pragma once

#include <string>
#include <string_view>

// Text in record files is code page 932; inside the program it is UTF-8. These two functions are
// the only way between the two.
namespace zubeki {

struct Cp932Text {
    std::string bytes;
    // How many characters were written as '?' because code page 932 has no place for them
    // (or because the input was not UTF-8 there).
    int replaced = 0;
};

// UTF-8 to code page 932, for writing. Never fails: a character that code page 932 cannot hold
// exactly (one that would read back as another character, or as nothing), and each byte of the
// input that is not part of a UTF-8 character, becomes one '?'. What it answers reads back through
// cp932ToUtf8 as the input with those '?'.
Cp932Text utf8ToCp932(std::string_view utf8);

// A line of a record file to UTF-8, for reading. Never fails. A line that is code page 932 is
// converted; a line that is not, but is UTF-8 (a record saved by another editor), is taken as it
// stands; anything else is converted as code page 932 with every byte that does not fit replaced
// by U+FFFD. The answer is always UTF-8.
std::string cp932ToUtf8(std::string_view cp932);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Length of the well-formed UTF-8 character at the start of `s`, or 0 when there is none.
std::size_t utf8CharLength(std::string_view s);

} // namespace zubeki
