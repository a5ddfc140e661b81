#include "TestSongs.h"

#include <QFile>
#include <QProcess>
#include <filesystem>

namespace {

bool Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

}  // namespace

bool MakeSong(const std::string& path, const TTestSong& song) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  const QString mp3 = QFile::decodeName(QByteArray::fromStdString(path));
  const QString wav = mp3 + QStringLiteral(".wav");
  QStringList lame{"--quiet", "-b", QString::number(song.Kbps)};
  if (song.Channels == 1)
    lame << "-m"
         << "m";
  if (!song.Title.empty()) lame << "--tt" << QString::fromStdString(song.Title);
  if (song.Id3v1Only) lame << "--id3v1-only";
  lame << wav << mp3;
  const bool made = Run("sox", {"-q", "-n", "-r", "44100", "-c", QString::number(song.Channels),
                                "-b", "16", wav, "synth", QString::number(song.Seconds), "sine",
                                QString::number(song.Frequency)}) &&
                    Run("lame", lame);
  QFile::remove(wav);
  return made;
}
