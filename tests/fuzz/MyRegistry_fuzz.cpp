// The INI reader and editor over arbitrary bytes. The first bytes choose a section, a key and
// a value; the rest is the file. Besides never crashing, a stored value must read back as
// it was written, and the store's number parser must agree with a plain reference.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "IniDocument.h"
#include "MyRegistry.h"

namespace {

// Takes a piece of the input up to the next byte 0x01.
std::string_view Take(std::string_view& input) {
  std::size_t end = input.find('\x01');
  std::string_view piece = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return piece;
}

void CheckRoundTrip(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view value) {
  IniDocument document(text);
  (void)document.Value(section, key);
  if (!IniDocument::CanStore(section, key, value)) return;
  bool changed = document.SetValue(section, key, value);
  if (document.Value(section, key) != std::string(value)) __builtin_trap();
  // The edited text parses to the same document.
  IniDocument again(document.Text());
  if (again.Value(section, key) != std::string(value)) __builtin_trap();
  if (!changed && document.Text() != IniDocument(text).Text()) __builtin_trap();
}

void CheckStore(std::string_view text, const std::string& section, const std::string& key) {
  static const int fd = memfd_create("Sonavera.ini", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0) return;
  if (!text.empty() && pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size()))
    return;
  TMyRegistry ini;
  ini.SaveToINI = true;
  ini.OnError = [](TMyRegistry*, bool, const std::string&) {};
  ini.INIFile = "/proc/self/fd/" + std::to_string(fd);
  ini.Open();
  std::string value = ini.ReadString(section, key, "default");
  if (value.size() > 1023) __builtin_trap();
  std::int32_t number = ini.ReadInteger(section, key, 7);
  auto parsed = TMyRegistry::ParseInteger(value);
  if (value.size() < 1023 && number != parsed.value_or(7)) __builtin_trap();
  (void)ini.ReadBool(section, key, true);
  ini.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string section(Take(input));
  std::string key(Take(input));
  std::string value(Take(input));
  CheckRoundTrip(input, section, key, value);
  CheckStore(input, section, key);
  return 0;
}
