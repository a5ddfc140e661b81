// File names on Linux are UTF-8 bytes, tag texts are ISO-8859-1; a text cut to a number of
// characters must not end in half a UTF-8 character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

bool IsUtf8(std::string_view text);
// The first `characters` characters of text: UTF-8 characters when text is valid UTF-8,
// otherwise bytes (one ISO-8859-1 character each).
std::string Utf8Prefix(std::string_view text, std::size_t characters);
