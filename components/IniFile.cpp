#include "IniFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "RegularFile.h"

namespace {

constexpr off_t kMaxBytes = 16 << 20;

std::string Describe(const std::string& path, int error) {
  return "Unable to write to " + path + ": " + std::strerror(error);
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a path stands for: a settings file that is a link stays a link, and the file it
// points to is the one replaced.
std::filesystem::path Target(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path target = std::filesystem::exists(path, ignored)
                                     ? std::filesystem::canonical(path, ignored)
                                     : std::filesystem::path(path);
  return target.empty() ? std::filesystem::path(path) : target;
}

}  // namespace

bool IniFile::Stamp::operator==(const Stamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode &&
         size == other.size && modified.tv_sec == other.modified.tv_sec &&
         modified.tv_nsec == other.modified.tv_nsec;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

IniFile::Stamp IniFile::StampOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

void IniFile::Refresh() {
  // Collected changes are newer than the file.
  if (pending_) return;
  Stamp now = StampOf(path_);
  if (loaded_ && now == stamp_) return;
  loaded_ = true;
  stamp_ = now;
  unreadable_ = false;
  // Far beyond any settings file; a bigger one is no settings file.
  tooLarge_ = now.size > kMaxBytes;
  if (!now.exists || tooLarge_) {
    unreadable_ = tooLarge_;
    document_ = IniDocument();
    return;
  }
  std::optional<std::string> text =
      platform::ReadRegularFile(path_, static_cast<std::size_t>(kMaxBytes));
  unreadable_ = !text.has_value();
  document_ = IniDocument(text.value_or(std::string()));
}

bool IniFile::TooLarge() {
  Refresh();
  return tooLarge_;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) {
  Refresh();
  return document_.Value(section, key);
}

bool IniFile::Write(std::string_view section, std::string_view key, std::string_view value,
                    std::string& error) {
  Refresh();
  if (!IniDocument::CanStore(section, key, value)) {
    error = "Unable to write to " + path_ + ": a name or value does not fit in an INI line";
    return false;
  }
  if (unreadable_) {
    error = Describe(path_, EACCES);
    return false;
  }
  if (deferred_) {
    if (document_.SetValue(section, key, value)) pending_ = true;
    return true;
  }
  IniDocument changed = document_;
  if (!changed.SetValue(section, key, value)) return true;
  if (!Replace(changed.Text(), error)) return false;
  document_ = std::move(changed);
  stamp_ = StampOf(path_);
  return true;
}

bool IniFile::Flush(std::string& error) {
  if (!pending_) return true;
  pending_ = false;
  const bool ok = Replace(document_.Text(), error);
  // Either way the file on disk is what later reads see.
  loaded_ = false;
  return ok;
}

std::string IniFile::TemporaryPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + ".";
}

void IniFile::RemoveStaleTemporaries(const std::string& path) {
  const std::filesystem::path target = Target(path);
  const std::string prefix = TemporaryPrefix(target);
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    // prefix PID "." COUNTER, all digits.
    const std::string rest = name.substr(prefix.size());
    const std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string::npos || dot + 1 == rest.size() ||
        rest.find_first_not_of("0123456789.") != std::string::npos ||
        rest.find('.', dot + 1) != std::string::npos)
      continue;
    const long pid = std::strtol(rest.c_str(), nullptr, 10);
    if (pid <= 0 || pid == getpid() || kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
      continue;
    unlinkat(dirfd(dir), name.c_str(), 0);
  }
  closedir(dir);
}

bool IniFile::Replace(const std::string& text, std::string& error) {
  const std::filesystem::path target = Target(path_);
  struct stat info {};
  bool exists = stat(target.c_str(), &info) == 0;
  // A file without write permission is read-only, for root as well.
  if (exists && ((info.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    error = Describe(path_, EACCES);
    return false;
  }
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = target.parent_path() /
           (TemporaryPrefix(target) + std::to_string(getpid()) + "." + std::to_string(counter++));
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = Describe(path_, errno);
    return false;
  }
  bool ok =
      WriteAll(fd, text) && (!exists || fchmod(fd, info.st_mode & 07777) == 0) && fsync(fd) == 0;
  int savedErrno = errno;
  ok = (close(fd) == 0) && ok;
  if (ok && rename(temp.c_str(), target.c_str()) == 0) return true;
  savedErrno = ok ? errno : savedErrno;
  unlink(temp.c_str());
  error = Describe(path_, savedErrno);
  return false;
}
