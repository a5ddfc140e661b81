#include "SkinScheme.h"

#include <utility>

#include "MyRegistry.h"

TSkinScheme TSkinScheme::Read(const std::string& path) {
  TSkinScheme scheme;
  TMyRegistry ini;
  ini.SaveToINI = true;
  ini.SaveNewKey = false;  // looking only: the committed skins stay as they are
  ini.INIFile = path;
  ini.Open();
  const std::pair<const char*, TColor*> keys[] = {
      {"HighTEXT", &scheme.high},        {"MediumTEXT", &scheme.medium},
      {"LowTEXT", &scheme.low},          {"PosBarStart", &scheme.posStart},
      {"PosBarEnd", &scheme.posEnd},     {"PosBarBack", &scheme.posBack},
      {"VolBarStart", &scheme.volStart}, {"VolBarEnd", &scheme.volEnd},
      {"VolBarBack", &scheme.volBack}};
  for (const auto& [key, colour] : keys) {
    if (const auto value = TMyRegistry::ParseInteger(ini.ReadString("Colors", key, "")))
      *colour = *value;
  }
  ini.Close();
  return scheme;
}
