#include "WindowZoom.h"

#include <QApplication>
#include <QBackingStore>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "MyRegistry.h"
#include "SettingsKeys.h"

#if SONAVERA_RUNTIME_ZOOM
#include <private/qhighdpiscaling_p.h>
#include <qpa/qplatformwindow.h>
#endif

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
  // Saturated before the conversion: the factor times a zoom (here and again when the zoom
  // changes while running) must stay an int whatever the environment asks for.
  constexpr double kLargest = std::numeric_limits<int>::max() / (kMax * kMax);
  const double whole =
      std::isfinite(requestedScale) ? std::clamp(std::floor(requestedScale), 1.0, kLargest) : 1;
  return static_cast<int>(whole) * std::clamp(zoom, kMin, kMax);
}

double TWindowZoom::RequestedScale() {
  bool ok = false;
  const double scale = qgetenv("QT_SCALE_FACTOR").toDouble(&ok);
  return ok ? scale : 1;
}

QByteArray TWindowZoom::Prepare(int zoom) {
  const QByteArray requested = qgetenv("QT_SCALE_FACTOR");
  const double scale = RequestedScale();
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

#if SONAVERA_RUNTIME_ZOOM
namespace {

QtMessageHandler shownMessages = nullptr;

// Qt warns that the factor is meant to be set before any window exists; the windows are
// placed and drawn again below, so the warning is not passed on.
void WithoutFactorWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!text.startsWith(QLatin1String("QHighDpiScaling::setFactor")))
    shownMessages(type, context, text);
}

}  // namespace
#endif

bool TWindowZoom::Change(int factor) {
#if SONAVERA_RUNTIME_ZOOM
  // The factor is no public part of Qt: only the Qt the program was built with is trusted.
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (qstrcmp(qVersion(), QT_VERSION_STR) != 0 || !screen) return false;
  struct TShown {
    QWidget* Window;
    QPoint Corner;  // screen pixels
  };
  std::vector<TShown> shown;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    const QWindow* handle = window->windowHandle();
    if (window->isVisible() && handle && handle->handle())
      shown.push_back({window, handle->handle()->geometry().topLeft()});
  }
  const qreal before = QHighDpiScaling::factor(screen);
  shownMessages = qInstallMessageHandler(WithoutFactorWarning);
  QHighDpiScaling::setGlobalFactor(factor);
  qInstallMessageHandler(shownMessages);
  const qreal after = QHighDpiScaling::factor(screen);

  for (QWidget* window : QApplication::topLevelWidgets()) {
    // Every window's buffer, shown or not, is made again at the new resolution.
    if (QBackingStore* store = window->backingStore()) store->resize(window->size());
    // A hidden window placed before (Select Source) opens where it was on the screen.
    const bool popup = window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip;
    if (!window->isVisible() && !popup && window->testAttribute(Qt::WA_Moved))
      window->move((QPointF(window->pos()) * before / after).toPoint());
  }
  // A shown window keeps its corner and its size in layout pixels, so it grows on the screen.
  for (const TShown& place : shown) {
    QWindow* handle = place.Window->windowHandle();
    handle->handle()->setGeometry(
        QRect(place.Corner, QHighDpi::toNativePixels(place.Window->size(), handle)));
    // Opaque controls (the bars) are not drawn again with their window: each is asked.
    place.Window->update();
    for (QWidget* control : place.Window->findChildren<QWidget*>()) control->update();
  }
  return true;
#else
  (void)factor;
  return false;
#endif
}
