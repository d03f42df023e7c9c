// Profile (INI) text as pure functions over a file's bytes: look a value up, set it,
// delete a key or a section. No I/O here; Profile.cpp adds locking and atomic replacement.
//
// Reading:
//   - Lines end in LF, CRLF or CR. A UTF-8 byte-order mark at the start is skipped.
//   - A line whose first non-blank character is '[' starts a section; its name runs to the
//     first ']' (or the end of the line) with the blanks around it removed. Text after ']'
//     is ignored. Lines before the first section belong to none and are never read.
//   - A line whose first non-blank character is ';' is a comment. Any other line with '='
//     is a key line: key before the first '=', value after it, blanks around both removed,
//     then one matching pair of ' or " around the value removed. Other lines are ignored.
//   - Names match without regard to ASCII case. Blanks are space, tab, VT and FF.
//   - Of duplicate sections only the first is searched; of duplicate keys the first wins.
// Writing changes only the lines it must; every other byte stays as it was:
//   - An existing key keeps its line and spelling; the text after its '=' becomes the value.
//   - A new key goes directly after the last key line of its section (after the header if
//     it has none). A new section goes at the end, after a line break if the text did not
//     end with one. New lines use the text's own line end: CRLF if any line ends in CRLF,
//     CR if lines end only in CR, LF otherwise.
//   - Section and key arguments have their blanks removed; the value is written as given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace winapi::ini {

// The value of `key` in `section`, or nothing when either is missing.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// The text with key set to value, or nothing when the arguments cannot be written so that
// they read back: a line break anywhere, ']' in the section, '=' in the key, or a key
// starting with '[' or ';'.
std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value);

// The text without the key's lines in the first copy of the section (all copies of the key
// go, so that it reads as missing afterwards).
std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key);

// The text without the headers and key lines of every copy of the section. Comments and
// other lines inside it stay.
std::string DeleteSection(std::string_view text, std::string_view section);

// A value read as an integer: optional sign, then the leading decimal digits, wrapping
// modulo 2^32; the rest is ignored. A value not starting with a digit (after the sign) is 0.
std::uint32_t ParseInt(std::string_view value);

} // namespace winapi::ini
