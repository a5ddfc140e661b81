#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

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

// The whole content of a regular file; nothing for folders, pipes and read errors (a pipe
// named like a settings file must not block the program).
std::optional<std::string> ReadRegularFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> text;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    text.emplace();
    char buffer[65536];
    for (;;) {
      ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) text.reset();
      if (n <= 0) break;
      text->append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  return text;
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
  Stamp now = StampOf(path_);
  if (loaded_ && now == stamp_) return;
  loaded_ = true;
  stamp_ = now;
  unreadable_ = false;
  if (!now.exists) {
    document_ = IniDocument();
    return;
  }
  std::optional<std::string> text = ReadRegularFile(path_);
  unreadable_ = !text.has_value();
  document_ = IniDocument(text.value_or(std::string()));
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
  IniDocument changed = document_;
  if (!changed.SetValue(section, key, value)) return true;
  if (!Replace(changed.Text(), error)) return false;
  document_ = std::move(changed);
  stamp_ = StampOf(path_);
  return true;
}

bool IniFile::Replace(const std::string& text, std::string& error) {
  // A settings file that is a link stays a link: the file it points to is replaced.
  std::error_code ignored;
  std::filesystem::path target = std::filesystem::exists(path_, ignored)
                                     ? std::filesystem::canonical(path_, ignored)
                                     : std::filesystem::path(path_);
  if (target.empty()) target = path_;
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
    temp = target.parent_path() / ("." + target.filename().string() + "." +
                                   std::to_string(getpid()) + "." + std::to_string(counter++));
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
