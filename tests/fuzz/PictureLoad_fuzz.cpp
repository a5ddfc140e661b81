// Picture loading of arbitrary bytes, as a file in an album folder or a skin would give them:
// as a whole picture, scan by scan, stretched, and as a button strip. Damage must end in an error,
// never a crash or leak.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "CoolButton.h"
#include "FEJpeg.h"

namespace {

QApplication* g_app = nullptr;
std::string g_file;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  g_app = new QApplication(*argc, *argv);
  g_file = QFile::encodeName(
               QDir::temp().filePath(
                   QString("PictureLoad_fuzz_%1.pic").arg(QCoreApplication::applicationPid())))
               .toStdString();
  std::atexit([] { std::remove(g_file.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    QFile f(QFile::decodeName(QByteArray::fromStdString(g_file)));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(reinterpret_cast<const char*>(data), qint64(size));
  }
  // Natural size, and stretched into the album picture's box (decoded at a smaller scale).
  TFEJpeg box;
  for (bool stretch : {false, true}) {
    box.SetStretch(stretch);
    box.resize(160, 120);
    for (bool scan_by_scan : {false, true}) {
      box.SetProgressiveDisplay(scan_by_scan);
      try {
        box.LoadFromFile(g_file);
      } catch (const std::runtime_error&) {
      }
    }
  }
  // The same bytes as a button strip of a skin.
  TCoolButton button;
  button.LoadGlyph(g_file);
  return 0;
}
