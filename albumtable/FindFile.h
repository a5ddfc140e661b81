// Breadth-first folder walker: reports every folder it enters (OnNewPath) and collects the
// entries matching Filter and Attributes into Files.
//
// Attributes map onto Linux as: hidden = the name starts with "."; read-only = the owner
// may not write; folder = a directory (a symbolic link to one counts as one); archive =
// anything that is not a folder; system and volume ID never occur.
//
// A folder that cannot be read is skipped and the walk goes on. Each real folder (device
// and inode) is entered at most once, so symbolic links cannot make the walk endless, and
// pseudo file systems (/proc, /sys, /dev...) are never entered.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum TFileAttr {
  ffReadOnly = 1,
  ffHidden = 2,
  ffSystem = 4,
  ffVolumeID = 8,
  ffDirectory = 16,
  ffArchive = 32,
};

class TFindFile {
 public:
  struct TFolderEntry {
    std::string Name;
    bool Folder = false;
    bool Regular = false;  // a plain file (not a pipe, device or dangling link)
  };

  std::string Directory;
  std::string Filter = "*.*";
  int Attributes = ffReadOnly | ffHidden | ffSystem | ffArchive;
  bool Recurse = false;
  // Off: the walk only reports folders; Files and the counters stay empty. Spares a status
  // read of every entry where only OnNewPath matters.
  bool CollectFiles = true;
  // On: two more threads read the folders of a recursive walk ahead of their reports, so
  // reading overlaps reading and what OnNewPath does. The reports are the same, in the same
  // order, except that a folder changed during the walk may be reported as it was a moment
  // before.
  bool ReadAhead = false;

  std::function<void(TFindFile*Sender)> BeforeExecute, AfterExecute;
  std::function<void(TFindFile* Sender, const std::string& NewPath, bool& Abort)> OnNewPath;

  void Execute();

  const std::vector<std::string>& Files() const { return m_files; }
  // The entries of the folder being reported, valid during OnNewPath.
  std::span<const TFolderEntry> Entries() const { return {m_entries.data(), m_entryCount}; }
  // Run counters: total size in bytes of the collected entries, how many of them are plain
  // folders, and how many are anything else.
  std::uint64_t TotalSize() const { return m_totalSize; }
  int FolderCount() const { return m_folderCount; }
  int FileCount() const { return m_fileCount; }

  // Wildcard match of a file name, "*" and "?", ignoring ASCII letter case; "*.*" matches
  // every name, also one without a dot. Masks separated by ";" match when any one does.
  static bool MatchesMask(std::string_view name, std::string_view mask);
  // The entries of the open folder fd except "." and "..", in the order the file system
  // gives them. False when the folder cannot be read.
  static bool ReadFolder(int fd, std::vector<TFolderEntry>& entries);
  // The same for the folder at path.
  static bool ReadFolder(const std::string& path, std::vector<TFolderEntry>& entries);

 private:
  // The folder opened for reading, -1 when it is to be skipped.
  int OpenFolder(const std::string& folder);
  void ProcessFolder(const std::string& path, std::deque<std::string>* queue);
  struct TReadFolder;
  struct TReadQueue;
  // The walk of Directory with ReadAhead on.
  void WalkReadingAhead();
  // Whether the reporting thread waiting for the front is to be woken: enough folders from the
  // front have been read. Under the queue's lock.
  static bool ReadyToReport(const TReadQueue& q);
  // A reading thread of that walk: reads the folders the walk has queued, in any order.
  void ReadQueued(TReadQueue& q) const;
  // Reads f as OpenFolder and ReadEntries would, but leaves entering it once to the walk;
  // pseudo caches which devices hold pseudo file systems.
  void ReadAheadOf(TReadFolder& f, std::map<std::uint64_t, bool>& pseudo,
                   std::vector<char>& buffer) const;
  // Reports folder, whose entries have been read, and collects them from its open fd (-1
  // when they are not collected), which it closes.
  void ReportFolder(const std::string& folder, int fd);
  void CollectEntry(int fd, const std::string& folder, const TFolderEntry& entry);
  // Reads the open folder fd into entries[0, count), reusing the slots (and their names'
  // memory) already there; buffer is the read buffer.
  static bool ReadEntries(int fd, std::vector<TFolderEntry>& entries, std::size_t& count,
                          std::vector<char>& buffer);

  static constexpr std::size_t kReadBuffer = 32 * 1024;

  std::vector<std::string> m_files;
  std::vector<TFolderEntry> m_entries;  // the first m_entryCount are the current folder's
  std::size_t m_entryCount = 0;
  std::vector<char> m_buffer;
  std::uint64_t m_totalSize = 0;
  int m_folderCount = 0;
  int m_fileCount = 0;
  bool m_abort = false;
  std::set<std::pair<std::uint64_t, std::uint64_t>> m_entered;  // device, inode
  std::map<std::uint64_t, bool> m_pseudo;                       // device: on a pseudo file system
};
