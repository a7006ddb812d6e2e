#pragma once

#include <string>
#include <string_view>

namespace kv {

// Windows-1251 is the one encoding of every text in the model and in every file. These convert
// at the edges only: Qt strings (UTF-16) and terminal or file-system text (UTF-8). A character
// that Windows-1251 lacks becomes '?'.
std::u16string Cp1251ToUtf16(std::string_view bytes);
std::string Utf16ToCp1251(std::u16string_view text);
std::string Cp1251ToUtf8(std::string_view bytes);
std::string Utf8ToCp1251(std::string_view text);

// Text that starts with a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark, without the mark and
// in Windows-1251 (a last odd byte of UTF-16 is dropped); any other bytes as they stand.
std::string UnicodeToCp1251(std::string_view bytes);
// True when the bytes start with one of those three marks.
bool HasByteOrderMark(std::string_view bytes);

// True when every character of the UTF-16 text has a Windows-1251 byte.
bool FitsCp1251(std::u16string_view text);

} // namespace kv
