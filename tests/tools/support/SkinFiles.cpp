#include "SkinFiles.h"

#include <QFile>

#include "MyRegistry.h"

QString RuntimeFolder() { return QStringLiteral(SONAVERA_SOURCE_DIR "/assets/runtime/"); }

std::string ColourText(const QString& iniPath, const std::string& key) {
  TMyRegistry ini;
  ini.SaveToINI = true;
  ini.SaveNewKey = false;
  ini.INIFile = QFile::encodeName(iniPath).toStdString();
  ini.Open();
  const std::string text = ini.ReadString("Colors", key, "");
  ini.Close();
  return text;
}

std::optional<QColor> ColourOf(const std::string& text) {
  const auto value = TMyRegistry::ParseInteger(text);
  if (!value || *value < 0 || *value > 0xFFFFFF) return std::nullopt;
  return QColor(*value & 0xFF, (*value >> 8) & 0xFF, (*value >> 16) & 0xFF);
}
