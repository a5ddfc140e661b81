#include "SkinWriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

void WriteSkin(const std::string& folder, const QColor& color,
               const std::set<std::string>& leaveOut) {
  const std::pair<const char*, QSize> files[] = {
      {"btn-play.bmp", {63, 19}},         {"btn-stop.bmp", {63, 19}},
      {"btn-rew.bmp", {63, 19}},          {"btn-fwd.bmp", {63, 19}},
      {"btn-eject.bmp", {63, 19}},        {"btn-Repeat.bmp", {45, 13}},
      {"btn-Shuffle.bmp", {45, 13}},      {"btn-Program.bmp", {45, 13}},
      {"btn-Menu.bmp", {45, 13}},         {"btn-Minimize.bmp", {45, 13}},
      {"btn-Close.bmp", {45, 13}},        {"Mode-Play.bmp", {63, 19}},
      {"Mode-Image.bmp", {63, 19}},       {"Mode-Equ.bmp", {63, 19}},
      {"Mode-album.bmp", {63, 19}},       {"IMG-Default.bmp", {160, 120}},
      {"IMG-Equ.bmp", {164, 124}},        {"IMG-Display.bmp", {164, 125}},
      {"IMG-Background.bmp", {196, 170}},
  };
  QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(folder)));
  for (const auto& [name, size] : files) {
    if (leaveOut.count(name)) continue;
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    // The transparent colour of button strips; the rest of the picture is opaque.
    image.setPixelColor(0, size.height() - 1, QColor(255, 0, 255));
    image.save(QFile::decodeName(QByteArray::fromStdString(folder + name)), "BMP");
  }
}

void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void WriteFiles(const std::string& folder, const std::map<std::string, std::string>& files) {
  for (const auto& [relative, contents] : files)
    WriteText((std::filesystem::path(folder) / relative).string(), contents);
}

std::string ReadText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}
