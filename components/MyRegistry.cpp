#include "MyRegistry.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "IniFile.h"

namespace {

constexpr std::size_t kMaxString = 1023;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

TMyRegistry::TMyRegistry() = default;
TMyRegistry::~TMyRegistry() = default;

void TMyRegistry::Open() {
  Close();
  if (SaveToINI) {
    std::size_t first = INIFile.find_first_not_of(" \t");
    if (first == std::string::npos) {
      ReportError(true, "INI file does not exist !!");
      return;
    }
    ini_ = std::make_unique<IniFile>(INIFile);
    ini_->SetDeferred(updating_);
    mode_ = Mode::kIni;
  } else {
    std::size_t first = RegPath.find_first_not_of(" \t");
    if (first == std::string::npos) {
      ReportError(true, "You must insert a registry string !!");
      return;
    }
    if (RegPath.back() != '\\') RegPath += '\\';
    mode_ = Mode::kRegistry;
  }
}

// A store left bound by an interrupted use is released by the next Open, never reused.
void TMyRegistry::Close() {
  Flush();
  ini_.reset();
  mode_ = Mode::kNone;
}

void TMyRegistry::BeginUpdate() {
  updating_ = true;
  if (ini_) ini_->SetDeferred(true);
}

bool TMyRegistry::EndUpdate() {
  updating_ = false;
  const bool ok = Flush();
  if (ini_) ini_->SetDeferred(false);
  return ok;
}

TMyRegistry::TQuietPass::TQuietPass(TMyRegistry& ini) : ini_(ini), saved_(std::move(ini.OnError)) {
  ini_.quietError_.clear();
  ini_.OnError = [](TMyRegistry* store, bool, const std::string& message) {
    if (store->quietError_.empty()) store->quietError_ = message;
  };
  ini_.BeginUpdate();
}

TMyRegistry::TQuietPass::~TQuietPass() {
  if (!ini_.EndUpdate() && ini_.quietError_.empty()) ini_.quietError_ = ini_.flushError_;
  ini_.Close();
  ini_.OnError = std::move(saved_);
}

bool TMyRegistry::Flush() {
  flushError_.clear();
  return !ini_ || ini_->Flush(flushError_);
}

bool TMyRegistry::TooLarge() { return mode_ == Mode::kIni && ini_->TooLarge(); }

void TMyRegistry::ReportError(bool isBox, const std::string& message) {
  if (OnError) {
    OnError(this, isBox, message);
  } else if (isBox) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
      QMessageBox::warning(nullptr, "Error", QString::fromLocal8Bit(message));
    else
      std::fprintf(stderr, "Error: %s\n", message.c_str());
  }
}

bool TMyRegistry::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
  if (mode_ == Mode::kRegistry) {
    ReportError(true, "Unable to write to the registry: this system has none !!");
    return false;
  }
  if (mode_ != Mode::kIni) {
    ReportError(false, "INI file does not exist !!");
    return false;
  }
  std::string error;
  if (ini_->Write(section, key, value, error)) return true;
  ReportError(false, error);
  return false;
}

bool TMyRegistry::WriteInteger(const std::string& section, const std::string& key,
                               std::int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool TMyRegistry::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

std::optional<std::string> TMyRegistry::ReadValue(const std::string& section,
                                                  const std::string& key) {
  if (mode_ == Mode::kIni) return ini_->Read(section, key);
  if (mode_ == Mode::kRegistry) ReportError(false, "Value not found !!");
  return std::nullopt;
}

std::string TMyRegistry::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) {
  std::string result = ReadValue(section, key).value_or(defaultValue).substr(0, kMaxString);
  if (SaveNewKey && result == defaultValue) WriteString(section, key, defaultValue);
  return result;
}

std::int32_t TMyRegistry::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t defaultValue) {
  std::optional<std::string> text = ReadValue(section, key);
  std::int32_t result = text ? ParseInteger(*text).value_or(defaultValue) : defaultValue;
  if (SaveNewKey && result == defaultValue) WriteInteger(section, key, defaultValue);
  return result;
}

bool TMyRegistry::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
  std::optional<std::string> text = ReadValue(section, key);
  std::optional<std::int32_t> number = text ? ParseInteger(*text) : std::nullopt;
  bool result = number ? *number != 0 : defaultValue;
  if (SaveNewKey && result == defaultValue) WriteBool(section, key, defaultValue);
  return result;
}

std::optional<std::int32_t> TMyRegistry::ParseInteger(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  std::size_t end = n;
  while (end > i && IsBlank(text[end - 1])) --end;
  if (i == end) return std::nullopt;
  // Hexadecimal covers all 32 bits (FFFFFFFF is -1); decimal must fit the signed range.
  const std::uint64_t limit =
      base == 16 ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  std::uint64_t value = 0;
  for (; i < end; ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  auto bits = static_cast<std::uint32_t>(value);
  if (negative) bits = ~bits + 1u;
  return static_cast<std::int32_t>(bits);
}
