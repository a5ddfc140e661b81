#include "FindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "PseudoFileSystem.h"

namespace {

std::string WithSlash(const std::string& path) {
  return !path.empty() && path.back() == '/' ? path : path + '/';
}

}  // namespace

bool TFindFile::MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  // Greedy match that backtracks to the last "*".
  std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool TFindFile::ReadEntries(int fd, std::vector<TFolderEntry>& entries, std::size_t& count,
                            std::vector<char>& buffer) {
  count = 0;
  if (buffer.empty()) buffer.resize(kReadBuffer);
  for (;;) {
    // Read straight from the descriptor: no stream, no second descriptor, no allocation.
    const ssize_t got = getdents64(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t at = 0; at < got;) {
      const auto* e = reinterpret_cast<const dirent64*>(buffer.data() + at);
      at += e->d_reclen;
      const char* name = e->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      bool folder = e->d_type == DT_DIR, regular = e->d_type == DT_REG;
      if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
        struct stat st;
        const bool ok = fstatat(fd, name, &st, 0) == 0;
        folder = ok && S_ISDIR(st.st_mode);
        regular = ok && S_ISREG(st.st_mode);
      }
      // Slots of earlier folders keep their names' memory for this one.
      if (count == entries.size()) entries.emplace_back();
      TFolderEntry& entry = entries[count++];
      entry.Name.assign(name);
      entry.Folder = folder;
      entry.Regular = regular;
    }
  }
}

bool TFindFile::ReadFolder(int fd, std::vector<TFolderEntry>& entries) {
  std::vector<TFolderEntry> read;
  std::vector<char> buffer;
  std::size_t count = 0;
  const bool ok = ReadEntries(fd, read, count, buffer);
  read.resize(count);
  entries.insert(entries.end(), std::make_move_iterator(read.begin()),
                 std::make_move_iterator(read.end()));
  return ok;
}

bool TFindFile::ReadFolder(const std::string& path, std::vector<TFolderEntry>& entries) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool ok = fd >= 0 && ReadFolder(fd, entries);
  if (fd >= 0) close(fd);
  return ok;
}

void TFindFile::Execute() {
  m_files.clear();
  m_totalSize = 0;
  m_folderCount = m_fileCount = 0;
  m_abort = false;
  m_entered.clear();
  m_pseudo.clear();
  if (BeforeExecute) BeforeExecute(this);
  if (!Directory.empty()) {
    if (!Recurse) {
      ProcessFolder(Directory, nullptr);
    } else {
      std::deque<std::string> queue{WithSlash(Directory)};
      while (!queue.empty() && !m_abort) {
        ProcessFolder(queue.front(), &queue);
        queue.pop_front();
      }
    }
  }
  if (AfterExecute) AfterExecute(this);
}

int TFindFile::OpenFolder(const std::string& folder) {
  // Without O_DIRECTORY and the trailing "/", an O_PATH open triggers no automount, so an
  // autofs trigger point is seen as such before anything gets mounted there.
  const std::string name = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
  const int at = open(name.c_str(), O_PATH | O_CLOEXEC);
  if (at < 0) return -1;
  struct stat st;
  int fd = -1;
  if (fstat(at, &st) == 0 && S_ISDIR(st.st_mode) &&
      m_entered.insert({std::uint64_t(st.st_dev), st.st_ino}).second) {
    const auto [known, added] = m_pseudo.insert({std::uint64_t(st.st_dev), false});
    if (added) known->second = platform::OnPseudoFileSystem(at);
    if (!known->second) fd = openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  close(at);
  return fd;
}

void TFindFile::ProcessFolder(const std::string& path, std::deque<std::string>* queue) {
  const std::string folder = WithSlash(path);
  // Unreadable, gone, entered before or a pseudo file system: skipped, the walk goes on.
  const int fd = OpenFolder(folder);
  if (fd < 0) return;
  if (!ReadEntries(fd, m_entries, m_entryCount, m_buffer)) {
    m_entryCount = 0;
    close(fd);
    return;
  }
  if (queue) {
    for (const TFolderEntry& e : Entries()) {
      if (e.Folder) queue->push_back(folder + e.Name);
    }
  }
  if (OnNewPath) OnNewPath(this, folder, m_abort);
  if (!m_abort && CollectFiles) {
    for (const TFolderEntry& e : Entries()) CollectEntry(fd, folder, e);
  }
  close(fd);
}

void TFindFile::CollectEntry(int fd, const std::string& folder, const TFolderEntry& entry) {
  if (!MatchesMask(entry.Name, Filter)) return;
  int attributes = entry.Folder ? ffDirectory : ffArchive;
  if (entry.Name[0] == '.') attributes |= ffHidden;
  // Only these attributes keep an entry out when the mask lacks them.
  const int excluded = ~Attributes & (ffHidden | ffSystem | ffVolumeID | ffDirectory);
  if (attributes & excluded) return;
  struct stat st;
  if (fstatat(fd, entry.Name.c_str(), &st, 0) != 0 &&
      fstatat(fd, entry.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    return;  // vanished meanwhile
  }
  if (!(st.st_mode & S_IWUSR)) attributes |= ffReadOnly;
  m_files.push_back(folder + entry.Name);
  if (attributes == ffDirectory) {
    ++m_folderCount;
  } else {
    ++m_fileCount;
  }
  if (!entry.Folder) m_totalSize += std::uint64_t(st.st_size);
}
