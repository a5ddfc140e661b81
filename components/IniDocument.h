// The text of an INI file held in memory: looks values up and changes them while keeping
// every other byte (comments, unknown lines, spacing, line ends) as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::string_view text);

  // The value of key in the first section named section; names match ignoring ASCII case.
  // Blanks around the value go; one pair of enclosing double quotes goes too.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // Sets key in section: an existing key keeps its place and spelling, a new key goes to the
  // end of its section, a new section to the end of the text. Returns whether the text changed.
  // The names and value must pass CanStore.
  bool SetValue(std::string_view section, std::string_view key, std::string_view value);

  // Whether the names and value fit in a line of their kind: no line breaks, no "]" in a
  // section name, no "=" in a key, names not empty and without surrounding blanks.
  static bool CanStore(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  std::vector<std::string> lines_;  // without newline_; a "\r" of a CRLF file stays on the line
  char newline_ = '\n';             // '\r' in a file whose lines end with a CR alone
  bool endsWithNewline_ = false;
  bool crlf_ = false;
  bool bom_ = false;  // the text starts with a UTF-8 byte-order mark
};
