#include "ShortCut.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <utility>

#include "Folders.h"
#include "ShellFolders.h"

namespace {

// b when a is empty, else a and b with one "/" between them.
std::string Join(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  return a.back() == '/' ? a + b : a + "/" + b;
}

std::string WithoutSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A value of type string: backslash and control characters escaped.
std::string EntryValue(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The program of an Exec line: always in double quotes, with the four characters that keep
// a meaning inside them escaped, and "%" doubled so it is no field code.
std::string ExecProgram(const std::string& path) {
  std::string out = "\"";
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
    if (c == '%') out += '%';
  }
  return out + "\"";
}

std::string RunningProgram() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.string();
}

std::string SaveError(const std::string& file) {
  return "IPersistFile.Save - Link creation error!\rFile Name \"" + file + "\"";
}

// Writes text to file through a temporary file in the same folder, so a reader sees the old
// link or the new one, never half of it.
bool WriteWhole(const std::string& file, const std::string& text, mode_t mode) {
  std::string temporary = file + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  bool ok = fchmod(fd, mode) == 0;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  ok = fsync(fd) == 0 && ok;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temporary.c_str(), file.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

constexpr std::array<TPlace, 6> kPlaceOrder{plExactFolder, plStartMenu, plProgramsMenu,
                                            plDesktop,     plStartUp,   plRecent};

}  // namespace

void TShortCut::Fire(const TNotifyEvent& event) {
  if (event) event(this);
}

void TShortCut::Store(std::string& field, const std::string& value) {
  if (field == value) return;
  field = value;
  Fire(OnChanged);
}

void TShortCut::SetDescription(const std::string& value) { Store(description_, value); }
void TShortCut::SetIconPath(const std::string& value) { Store(iconPath_, value); }
void TShortCut::SetPath(const std::string& value) { Store(path_, value); }
void TShortCut::SetWorkingDirectory(const std::string& value) { Store(workingDirectory_, value); }
void TShortCut::SetArguments(const std::string& value) { Store(arguments_, value); }
void TShortCut::SetWindowClass(const std::string& value) { Store(windowClass_, value); }

void TShortCut::SetIconIndex(int value) {
  if (iconIndex_ == value) return;
  iconIndex_ = value;
  Fire(OnChanged);
}

void TShortCut::SetShowCmd(TShowCmd value) {
  if (showCmd_ == value) return;
  showCmd_ = value;
  Fire(OnChanged);
}

void TShortCut::SetActive(bool value) {
  if (active_ == value) return;
  active_ = value;
  Fire(value ? OnActivate : OnDeactivate);
  Synchronize();
  Fire(OnChanged);
}

void TShortCut::SetPlace(const TPlaces& value) {
  if (place_ == value) return;
  place_ = value;
  Synchronize();
  Fire(OnChanged);
}

std::string TShortCut::ExactFolderBasePath() const {
  switch (ExactFolderBase) {
    case fbNone:
      return {};
    case fbWindows:
      return platform::ConfigFolder();
    case fbStartMenu:
      return platform::ShellFolder("Start Menu");
    case fbProgramsMenu:
      return platform::ShellFolder("Programs");
    case fbDesktop:
      return platform::ShellFolder("Desktop");
    case fbApplicationPath:
      return platform::ProgramFolder();
  }
  return {};
}

std::string TShortCut::ExactFolderPath() const { return Join(ExactFolderBasePath(), ExactFolder); }

std::string TShortCut::LinkFile(TPlace place) const {
  const std::string file = description_ + ".desktop";
  switch (place) {
    case plExactFolder:
      return Join(ExactFolderPath(), file);
    case plStartMenu:
      return Join(platform::ShellFolder("Start Menu"), file);
    case plProgramsMenu:
      return Join(platform::ShellFolder("Programs"), file);
    case plDesktop:
      return Join(platform::ShellFolder("Desktop"), file);
    case plStartUp:
      return Join(platform::ShellFolder("StartUp"), file);
    case plRecent:
      return {};
  }
  return {};
}

void TShortCut::Synchronize() {
  if (active_) {
    // Several places may share one folder here (the start menu and the programs menu): a
    // link one place wants is never deleted for another.
    std::set<std::string> wanted;
    for (const TPlace place : place_) wanted.insert(LinkFile(place));
    for (const TPlace place : kPlaceOrder) {
      const std::string file = LinkFile(place);
      if (file.empty()) continue;
      if (place == plExactFolder && WithoutSlash(ExactFolderPath()).empty())
        throw EShortCut("Unable to create directory");
      if (place_.count(place)) {
        // The place's folder is made when missing, as a fresh account may lack it.
        std::error_code error;
        std::filesystem::create_directories(ParentOf(file), error);
        if (error && place == plExactFolder) throw EShortCut("Unable to create directory");
        CreateLink(file);
      } else if (!wanted.count(file)) {
        unlink(file.c_str());
        if (place == plExactFolder) RemoveEmptyFolders(file);
      }
    }
  }
  Fire(OnSynchronized);
}

// Removes the link's folder and its parents while they are empty, up to the base folder,
// which is never removed.
void TShortCut::RemoveEmptyFolders(const std::string& link) const {
  const std::string base = WithoutSlash(ExactFolderBasePath());
  for (std::string folder = ParentOf(link);
       !folder.empty() && folder != "/" && folder != base && rmdir(folder.c_str()) == 0;
       folder = ParentOf(folder)) {
  }
}

std::string TShortCut::EntryText() const {
  // No Version key: it is optional, and validators of the older versions refuse "1.5".
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + EntryValue(description_) + "\n";
  std::string exec = ExecProgram(path_);
  if (!arguments_.empty()) exec += " " + arguments_;
  text += "Exec=" + EntryValue(exec) + "\n";
  if (!workingDirectory_.empty()) text += "Path=" + EntryValue(workingDirectory_) + "\n";
  if (!iconPath_.empty()) text += "Icon=" + EntryValue(iconPath_) + "\n";
  text += "Terminal=false\nCategories=AudioVideo;Audio;Player;\n";
  if (!windowClass_.empty()) text += "StartupWMClass=" + EntryValue(windowClass_) + "\n";
  return text;
}

void TShortCut::CreateLink(const std::string& file) {
  if (path_.empty()) path_ = RunningProgram();
  if (iconPath_.empty()) iconPath_ = path_;
  // Executable, so that desktops offer to start it.
  if (!WriteWhole(file, EntryText(), 0755)) throw EShortCut(SaveError(file));
}
