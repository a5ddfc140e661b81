#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <string>

#include "AlbumScanner.h"
#include "ToolRun.h"
#include "VolumeLayer.h"

namespace {

TToolRun RunScan(const std::string& root) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "C");
  return RunTool(SONAVERA_BINARY_DIR "/bin/sonavera-scan", {QFile::decodeName(root.c_str())}, env);
}

void Touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(SonaveraScan, PrintsDiscListTableAndSerial) {
  QTemporaryDir dir;
  const QString q = dir.path() + "/Music";
  for (const char* name : {"a.mp3", "Disc B/02 two.mp3", "Disc B/01 one.MP3", "disc a/x.mp3",
                           "notes.txt", ".hidden/.skip.mp3"}) {
    Touch(q + "/" + name);
  }
  const std::string root = QFile::encodeName(q).toStdString();
  const std::string serial =
      "serial\t" + TAlbumScanner::CalcolaSN(platform::Volumes().VolumeRoot(root));
  const TToolRun r = RunScan(root);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "1. Music\n2. disc a\n3. Disc B\n\n"
            "1\t1\t/a.mp3\n2\t1\t/disc a/x.mp3\n3\t1\t/Disc B/01 one.MP3\n"
            "3\t2\t/Disc B/02 two.mp3\n" +
                serial + "\n");

  const TToolRun slashed = RunScan(root + "/disc a/");
  EXPECT_EQ(slashed.out, "1. disc a\n\n1\t1\tx.mp3\n" + serial + "\n");
}

TEST(SonaveraScan, EmptyAndMissingRoots) {
  QTemporaryDir dir;
  Touch(dir.path() + "/readme.txt");
  const std::string root = QFile::encodeName(dir.path()).toStdString();
  const TToolRun empty = RunScan(root);
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out,
            "\nserial\t" + TAlbumScanner::CalcolaSN(platform::Volumes().VolumeRoot(root)) + "\n");

  for (const std::string& bad : {root + "/missing", root + "/readme.txt"}) {
    const TToolRun r = RunScan(bad);
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
  }
}

}  // namespace
