#include "WindowZoom.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "MyRegistry.h"
#include "SettingsKeys.h"

int TWindowZoom::Read(const std::string& settingsFile) {
  TMyRegistry ini;
  ini.SaveToINI = true;
  ini.INIFile = settingsFile;
  try {
    ini.Open();
    const int zoom = ini.ReadInteger(settings::kGeneral, settings::kZoom.Name, kMin);
    ini.Close();
    return std::clamp(zoom, kMin, kMax);
  } catch (const std::exception&) {
    return kMin;
  }
}

int TWindowZoom::Factor(double requestedScale, int zoom) {
  const int whole =
      std::isfinite(requestedScale) ? static_cast<int>(std::floor(requestedScale)) : 1;
  return std::max(whole, 1) * std::clamp(zoom, kMin, kMax);
}

QByteArray TWindowZoom::Prepare(int zoom) {
  const QByteArray requested = qgetenv("QT_SCALE_FACTOR");
  bool ok = false;
  double scale = requested.toDouble(&ok);
  if (!ok) scale = 1;
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
  qputenv("QT_SCALE_FACTOR", QByteArray::number(Factor(scale, zoom)));
  return requested;
}

void TWindowZoom::Restore(const QByteArray& scaleFactor) {
  if (scaleFactor.isEmpty()) {
    qunsetenv("QT_SCALE_FACTOR");
  } else {
    qputenv("QT_SCALE_FACTOR", scaleFactor);
  }
}
