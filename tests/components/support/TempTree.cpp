#include "TempTree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempTree::TempTree() : m_root(QFile::encodeName(m_dir.path()).toStdString()) {
  EXPECT_TRUE(m_dir.isValid());
}

std::string TempTree::File(const std::string& relative, const std::string& text) {
  const std::string path = Path(relative);
  const QString name = QFile::decodeName(path.c_str());
  QDir().mkpath(QFileInfo(name).path());
  QFile file(name);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path;
  file.write(text.data(), qint64(text.size()));
  return path;
}

std::string TempTree::Folder(const std::string& relative) {
  const std::string path = Path(relative);
  EXPECT_TRUE(QDir().mkpath(QFile::decodeName(path.c_str()))) << path;
  return path;
}

void TempTree::Link(const std::string& relative, const std::string& target) {
  EXPECT_EQ(symlink(target.c_str(), Path(relative).c_str()), 0) << relative;
}
