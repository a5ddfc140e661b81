#include "FindFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <thread>

#include "CaseInsensitive.h"
#include "PseudoFileSystem.h"

namespace {

std::string WithSlash(const std::string& path) {
  return !path.empty() && path.back() == '/' ? path : path + '/';
}

// Folders queued for reading but not yet reported, at most: bounds the memory and descriptors
// held.
constexpr std::size_t kReadAhead = 64;
constexpr int kReaders = 2;
// A waiting reporting thread is woken once this many folders from the front have been read (or
// every folder claimed so far): one wake-up per folder costs more than reading the folder.
constexpr std::size_t kWakeBatch = 8;

// The folder opened for reading, -1 when it is no folder, when enter(device, inode) says it is
// not to be entered, or when it lies on a pseudo file system (pseudo caches which devices do).
// Each folder is opened once; only the first folder of a device is looked at through an O_PATH
// descriptor first, to tell its file system without mounting anything there.
template <class Enter>
int OpenUnlessSkipped(const std::string& folder, std::map<std::uint64_t, bool>& pseudo,
                      Enter enter) {
  // Without the trailing "/", neither the status read nor the O_PATH open triggers an
  // automount, so an autofs trigger point is seen as such before anything gets mounted there.
  const std::string name = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
  struct stat st;
  if (fstatat(AT_FDCWD, name.c_str(), &st, AT_NO_AUTOMOUNT) != 0 || !S_ISDIR(st.st_mode) ||
      !enter(std::uint64_t(st.st_dev), st.st_ino)) {
    return -1;
  }
  const auto [known, added] = pseudo.insert({std::uint64_t(st.st_dev), false});
  if (!added) return known->second ? -1 : open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int at = open(name.c_str(), O_PATH | O_CLOEXEC);
  if (at < 0) return -1;
  known->second = platform::OnPseudoFileSystem(at);
  const int fd = known->second ? -1 : openat(at, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  close(at);
  return fd;
}

}  // namespace

bool TFindFile::MatchesMask(std::string_view name, std::string_view mask) {
  // "*.mp3;*.flac": any of several masks.
  if (const std::size_t semicolon = mask.find(';'); semicolon != std::string_view::npos)
    return MatchesMask(name, mask.substr(0, semicolon)) ||
           MatchesMask(name, mask.substr(semicolon + 1));
  if (mask == "*.*" || mask == "*") return true;
  // "*.mp3" and the like, checked once per name of a whole disk: a plain ending.
  if (mask.size() > 1 && mask[0] == '*' && mask.find_first_of("*?", 1) == std::string_view::npos) {
    const std::string_view end = mask.substr(1);
    return name.size() >= end.size() &&
           std::equal(
               end.begin(), end.end(), name.end() - std::ptrdiff_t(end.size()),
               [&](char m, char n) { return platform::AsciiLower(m) == platform::AsciiLower(n); });
  }
  // Greedy match that backtracks to the last "*".
  std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() &&
        (mask[m] == '?' || platform::AsciiLower(mask[m]) == platform::AsciiLower(name[n]))) {
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
    } else if (ReadAhead) {
      WalkReadingAhead();
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
  return OpenUnlessSkipped(folder, m_pseudo, [this](std::uint64_t device, std::uint64_t inode) {
    return m_entered.insert({device, inode}).second;
  });
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
  if (!CollectFiles) close(fd);
  ReportFolder(folder, CollectFiles ? fd : -1);
}

void TFindFile::ReportFolder(const std::string& folder, int fd) {
  if (OnNewPath) OnNewPath(this, folder, m_abort);
  if (!m_abort && fd >= 0) {
    for (const TFolderEntry& e : Entries()) CollectEntry(fd, folder, e);
  }
  if (fd >= 0) close(fd);
}

struct TFindFile::TReadFolder {
  std::string Path;
  std::vector<TFolderEntry> Entries;  // the first Count are the folder's
  std::size_t Count = 0;
  int Fd = -1;  // open while its entries are to be collected
  bool Done = false;
  bool Folder = false;  // a folder; Device and Inode say which
  bool Read = false;    // and its entries were read
  std::uint64_t Device = 0, Inode = 0;
};

// The walk's queue, shared by the reporting thread and the readers.
struct TFindFile::TReadQueue {
  std::mutex Lock;
  std::condition_variable Claimable, FrontDone;
  std::deque<TReadFolder> Folders;               // in walk order, from the next to report
  std::size_t Claimed = 0;                       // the first Claimed have been taken by a reader
  std::vector<std::vector<TFolderEntry>> Spare;  // reported folders' entries, for reuse
  bool Stop = false;
  bool Reporting = true;  // the reporting thread is busy, not waiting for the front
};

void TFindFile::ReadAheadOf(TReadFolder& f, std::map<std::uint64_t, bool>& pseudo,
                            std::vector<char>& buffer) const {
  // Entered or not, the walk decides when it gets there.
  const int fd = OpenUnlessSkipped(f.Path, pseudo, [&f](std::uint64_t device, std::uint64_t inode) {
    f.Folder = true;
    f.Device = device;
    f.Inode = inode;
    return true;
  });
  f.Read = fd >= 0 && ReadEntries(fd, f.Entries, f.Count, buffer);
  if (f.Read && CollectFiles) {
    f.Fd = fd;
  } else if (fd >= 0) {
    close(fd);
  }
}

bool TFindFile::ReadyToReport(const TReadQueue& q) {
  std::size_t done = 0;
  while (done < q.Claimed && done < kWakeBatch && q.Folders[done].Done) ++done;
  // The last reader to finish sees every claimed folder done, so the walk cannot stall.
  return done == q.Claimed || done == kWakeBatch;
}

void TFindFile::ReadQueued(TReadQueue& q) const {
  std::map<std::uint64_t, bool> pseudo;
  std::vector<char> buffer;
  std::unique_lock lock(q.Lock);
  for (;;) {
    q.Claimable.wait(
        lock, [&] { return q.Stop || (q.Claimed < q.Folders.size() && q.Claimed < kReadAhead); });
    if (q.Stop) return;
    TReadFolder& f = q.Folders[q.Claimed];
    ++q.Claimed;
    if (!q.Spare.empty()) {
      f.Entries.swap(q.Spare.back());
      q.Spare.pop_back();
    }
    lock.unlock();
    ReadAheadOf(f, pseudo, buffer);
    lock.lock();
    f.Done = true;
    if (!q.Reporting && ReadyToReport(q)) q.FrontDone.notify_one();
  }
}

void TFindFile::WalkReadingAhead() {
  TReadQueue q;
  q.Folders.emplace_back().Path = WithSlash(Directory);
  std::vector<std::thread> readers;
  const auto stop = [&] {
    {
      const std::lock_guard lock(q.Lock);
      q.Stop = true;
    }
    q.Claimable.notify_all();
    for (std::thread& reader : readers) reader.join();
    for (const TReadFolder& f : q.Folders) {
      if (f.Fd >= 0) close(f.Fd);
    }
  };
  try {
    for (int i = 0; i < kReaders; ++i) readers.emplace_back([this, &q] { ReadQueued(q); });
    std::unique_lock lock(q.Lock);
    while (!m_abort && !q.Folders.empty()) {
      q.Reporting = false;
      q.FrontDone.wait(lock, [&] { return q.Folders.front().Done; });
      q.Reporting = true;
      TReadFolder f = std::move(q.Folders.front());
      q.Folders.pop_front();
      --q.Claimed;
      // Entered once, in walk order: of two ways to one folder the first reported wins, as in
      // ProcessFolder.
      const bool report = f.Folder && m_entered.insert({f.Device, f.Inode}).second && f.Read;
      if (report) {
        const std::size_t queued = q.Folders.size();
        for (std::size_t i = 0; i < f.Count; ++i) {
          if (f.Entries[i].Folder) q.Folders.emplace_back().Path = f.Path + f.Entries[i].Name + '/';
        }
        if (q.Folders.size() > queued) q.Claimable.notify_all();
      }
      lock.unlock();
      if (report) {
        m_entries.swap(f.Entries);
        m_entryCount = f.Count;
        ReportFolder(f.Path, f.Fd);
        m_entries.swap(f.Entries);
        m_entryCount = 0;
      } else if (f.Fd >= 0) {
        close(f.Fd);
      }
      lock.lock();
      q.Spare.push_back(std::move(f.Entries));
      q.Claimable.notify_one();
    }
  } catch (...) {
    stop();
    throw;
  }
  stop();
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
