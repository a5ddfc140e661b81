#include "ColorScheme.h"

#include "MyRegistry.h"

const std::array<TColorScheme::TKey, 9>& TColorScheme::Keys() {
  static const std::array<TKey, 9> keys{{
      {"HighTEXT", "HighTEXT", "$00EAE2B8", &TColorScheme::HighText},
      {"MediumTEXT", "MediumTEXT", "$00c0c0c0", &TColorScheme::MediumText},
      {"LowTEXT", "LowTEXT", "$00808080", &TColorScheme::LowText},
      {"PosBarStart", "PosBarStart", "$00A00000", &TColorScheme::PosBarStart},
      {"PosBarend", "PosBarEnd", "$00c0c0c0", &TColorScheme::PosBarEnd},
      {"PosBarBack", "PosBarBack", "$00C34E00", &TColorScheme::PosBarBack},
      {"VolBarStart", "VolBarStart", "$00804000", &TColorScheme::VolBarStart},
      {"VolBarend", "VolBarEnd", "$00c0c0c0", &TColorScheme::VolBarEnd},
      {"VolBarBack", "VolBarBack", "$00C34E00", &TColorScheme::VolBarBack},
  }};
  return keys;
}

TColorScheme TColorScheme::Defaults() {
  TColorScheme scheme;
  for (const TKey& key : Keys())
    scheme.*key.Field = TMyRegistry::ParseInteger(key.DefaultText).value_or(0);
  return scheme;
}
