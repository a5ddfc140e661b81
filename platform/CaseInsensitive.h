// File names are compared without regard to case, and only ASCII letters change case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
// The one ASCII fold; inline, as name comparisons over a whole disk run through it.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// text lower-cased by the case rules of the C library's current locale (LC_CTYPE), so every
// letter that locale knows changes, "Ü" as well as "U"; bytes that are not a character of
// its encoding stay as they are.
std::string LocaleLower(std::string_view text);

// The name of the entry of folder that equals name ignoring ASCII case; an exact match wins
// over others. Empty when there is none or the folder cannot be read.
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder,
                                                 const std::string& name);

}  // namespace platform
