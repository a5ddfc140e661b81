#include "ProgramIcon.h"

#include <QFile>

namespace {

QString Picture(const std::string& programFolder, const char* name) {
  return QFile::decodeName(QByteArray::fromStdString(programFolder + "pictures/" + name));
}

}  // namespace

std::string ProgramIconFile(const std::string& programFolder) {
  return programFolder + "pictures/Sonavera-256.png";
}

QIcon ProgramIcon(const std::string& programFolder) {
  QIcon icon;
  for (const char* name : {"Sonavera.png", "Sonavera-256.png"})
    icon.addFile(Picture(programFolder, name));
  return icon;
}
