// Disc and song order across locales: folder name by folder name, so a folder and
// everything below it stay together even where the collation gives "/" and blanks no weight.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AlbumScanner.h"
#include "TempTree.h"

namespace {

using Texts = std::vector<std::string>;

// Compiled locales shared by the test runs of this machine.
const std::string kLocaleDir = QDir::tempPath().toStdString() + "/sonavera-test-locales";

// Makes name the collation locale, compiling it with localedef where the system lacks it.
// Empty on success, else why it cannot be had.
std::string UseCollation(const std::string& name) {
  if (std::setlocale(LC_COLLATE, name.c_str())) return {};
  const std::size_t dot = name.find('.');
  if (dot == std::string::npos) return "no such locale";
  const std::string target = kLocaleDir + "/" + name;
  if (!QDir(QString::fromStdString(target)).exists()) {
    // Compiled aside and renamed, so parallel runs never see half a locale.
    QDir().mkpath(QString::fromStdString(kLocaleDir));
    const std::string partial = target + ".part" + std::to_string(getpid());
    QProcess localedef;
    localedef.start("localedef", {"-i", QString::fromStdString(name.substr(0, dot)), "-f",
                                  QString::fromStdString(name.substr(dot + 1)),
                                  QString::fromStdString(partial)});
    if (!localedef.waitForFinished(120000)) return "localedef did not run";
    if (!QDir(QString::fromStdString(partial)).exists())
      return "localedef failed: " + localedef.readAllStandardError().toStdString();
    if (std::rename(partial.c_str(), target.c_str()) != 0)
      QDir(QString::fromStdString(partial)).removeRecursively();
  }
  setenv("LOCPATH", kLocaleDir.c_str(), 1);
  const bool ok = std::setlocale(LC_COLLATE, name.c_str()) != nullptr;
  unsetenv("LOCPATH");
  return ok ? std::string() : "compiled locale does not load";
}

Texts DiscList(const std::string& root) {
  TSortGrid tab(4, 2);
  TAlbumScanner scanner(tab);
  scanner.SourceRoot = root;
  Texts discs;
  scanner.CreaTAB(discs);
  return discs;
}

TEST(DiscOrder, FoldersStayWithTheirSubfoldersInEveryLocale) {
  TempTree music;
  for (const char* song :
       {"Queen/A Night at the Opera/1.mp3", "Queensryche/Empire/1.mp3", "Queen/The Works/1.mp3",
        "Rock/1.mp3", "Rock/Live/1.mp3", "RockA/1.mp3", "Rock B/1.mp3", "Rock-C/1.mp3"})
    music.File(song);
  TempTree cd;  // the worked example of a CD
  for (const char* song :
       {"a.mp3", "alpha/x.MP3", "alpha/deep/y.mp3", "Empty/In/z.mp3", "Zeta/02.mp3", "Zeta/01.mp3"})
    cd.File(song);
  const std::string cdName = cd.Root().substr(cd.Root().rfind('/') + 1);

  Texts skipped;
  for (const std::string locale : {"C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
    const std::string why = UseCollation(locale);
    if (!why.empty()) {
      skipped.push_back(locale + " (" + why + ")");
      continue;
    }
    SCOPED_TRACE(locale);
    Texts discs = DiscList(music.Root());
    ASSERT_EQ(discs.size(), 8u);
    EXPECT_EQ(
        Texts(discs.begin(), discs.begin() + 5),
        (Texts{"1. A Night at the Opera", "2. The Works", "3. Empire", "4. Rock", "5. Live"}));
    // Where blanks and dashes weigh is the locale's business.
    Texts rest(discs.begin() + 5, discs.end());
    for (std::string& d : rest) d = d.substr(3);
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ(rest, (Texts{"Rock B", "Rock-C", "RockA"}));

    EXPECT_EQ(DiscList(cd.Root()),
              (Texts{"1. " + cdName, "2. alpha", "3. deep", "4. In", "5. Zeta"}));
  }
  std::setlocale(LC_COLLATE, "C");
  if (!skipped.empty()) {
    std::string list;
    for (const std::string& s : skipped) list += " " + s;
    GTEST_SKIP() << "locales not available:" << list;
  }
}

TEST(DiscOrder, PathKeysCompareNameByName) {
  std::setlocale(LC_COLLATE, "C");
  const auto before = [](const std::string& a, const std::string& b) {
    return TFileLister::PathSortKey(a) < TFileLister::PathSortKey(b);
  };
  EXPECT_TRUE(before("/m/Rock/", "/m/Rock/Live/"));
  EXPECT_TRUE(before("/m/Rock/Live/", "/m/Rock B/"));
  EXPECT_TRUE(before("/m/Queen/The Works/", "/m/Queensryche/"));
  EXPECT_TRUE(before("/m/b/", "/m/C/"));      // letter case is folded
  EXPECT_TRUE(before("/m/ABC/", "/m/abc/"));  // and decides only between equal names
  EXPECT_FALSE(before("/m/abc/", "/m/ABC/"));
  EXPECT_EQ(TFileLister::PathSortKey("/m/x/"), TFileLister::PathSortKey("/m//x"));
}

// Song names sort by their keys in every locale, also where no key is built for them.
TEST(DiscOrder, SongNamesSortByTheirKeys) {
  const Texts names = {"b.mp3",   "B.mp3",   "a.mp3",   "A.MP3",   "ab.mp3",  "a",
                       "A",       "_x.mp3",  "Z_.mp3",  "z.mp3",   "[1].mp3", "10 x.mp3",
                       "2 y.mp3", "Été.mp3", "été.mp3", "etc.mp3", "ü.mp3",   "日本.mp3",
                       "a b.mp3", "a-b.mp3", "A B.mp3", "~.mp3",   "é",       "E"};
  for (const std::string locale : {"C", "C.UTF-8", "en_US.UTF-8"}) {
    if (!UseCollation(locale).empty()) continue;
    SCOPED_TRACE(locale);
    Texts sorted = names;
    TFileLister::SortNames(sorted);
    Texts byKey = names;
    std::sort(byKey.begin(), byKey.end(), [](const std::string& a, const std::string& b) {
      return TFileLister::SortKey(a) < TFileLister::SortKey(b);
    });
    EXPECT_EQ(sorted, byKey);
  }
  std::setlocale(LC_COLLATE, "C");
}

}  // namespace
