// The settings store behind Sonavera.ini, Colors.ini and the preset files. Every read whose
// result equals the caller's default writes that default back (with SaveNewKey), so a
// missing file comes into being full of defaults.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class IniFile;

enum HKeys {
  kHKEY_CLASSES_ROOT,
  kHKEY_CURRENT_USER,
  kHKEY_LOCAL_MACHINE,
  kHKEY_USERS,
  kHKEY_CURRENT_CONFIG,
  kHKEY_DYN_DATA
};

class TMyRegistry;
using TMyRegistryError =
    std::function<void(TMyRegistry* sender, bool isBox, const std::string& eMessage)>;

class TMyRegistry {
 public:
  TMyRegistry();
  ~TMyRegistry();
  TMyRegistry(const TMyRegistry&) = delete;
  TMyRegistry& operator=(const TMyRegistry&) = delete;

  // true: values live in the INI file INIFile. false: in the system registry, which this
  // system does not have; in that mode every access reports its error and changes nothing.
  bool SaveToINI = false;
  bool SaveNewKey = false;
  std::string INIFile;
  std::string RegPath;
  HKeys RootKey = kHKEY_LOCAL_MACHINE;
  bool CanCreate = false;
  TMyRegistryError OnError;

  std::string Version() const { return "v1.10"; }

  // Binds the store named by the properties (a missing INI file is created by the first
  // write); Close writes what is pending and releases it. Every use: set INIFile, Open,
  // reads and writes, Close.
  void Open();
  void Close();

  // Between these, writes collect in memory (a following read sees them) and reach the file
  // in one atomic replacement at EndUpdate, at Close or at the next Open, whichever comes
  // first: a close that is killed halfway leaves all old or all new values. EndUpdate
  // returns false when the pending writes could not be stored; it never reports or throws,
  // so it may run while an exception unwinds.
  void BeginUpdate();
  bool EndUpdate();

  // One pass over the store that goes on past any error: a key that cannot be stored (a value
  // with a line break, a read-only file) keeps what the file held and the other keys still
  // go through. Errors are not reported while it lives (QuietError keeps the first, or why
  // the update could not be stored); its writes form one update; at its end, however that
  // comes, the store is closed.
  class TQuietPass {
   public:
    explicit TQuietPass(TMyRegistry& ini);
    ~TQuietPass();
    TQuietPass(const TQuietPass&) = delete;
    TQuietPass& operator=(const TQuietPass&) = delete;

   private:
    TMyRegistry& ini_;
    TMyRegistryError saved_;
  };

  // Writes return whether the value reached the store. A failed write leaves the file as it
  // was and is reported through ReportError (as a box in registry mode).
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  bool WriteBool(const std::string& section, const std::string& key, bool value);

  // Missing keys and text that is no number give the default. Strings are cut to 1023
  // characters; a key present with an empty value reads as "".
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue);
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue);
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);

  // The first error of the last TQuietPass; empty when everything went through.
  const std::string& QuietError() const { return quietError_; }
  // Whether the INI file is too large to be a settings file: it reads as empty and is
  // never replaced.
  bool TooLarge();

  // To OnError when assigned; otherwise a warning box captioned "Error" when isBox is true.
  void ReportError(bool isBox, const std::string& message);

  // Signed decimal, or hexadecimal after "$" or "0x"; nothing for any other text.
  static std::optional<std::int32_t> ParseInteger(const std::string& text);

 private:
  enum class Mode { kNone, kIni, kRegistry };

  std::optional<std::string> ReadValue(const std::string& section, const std::string& key);
  bool Flush();

  Mode mode_ = Mode::kNone;
  bool updating_ = false;
  std::unique_ptr<IniFile> ini_;
  std::string flushError_;
  std::string quietError_;
};
