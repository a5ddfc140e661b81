// The whole-number zoom the program is drawn at. Pictures are enlarged pixel by pixel and
// never smoothed, so every skin pixel becomes a square of whole screen pixels; text is drawn
// at the full resolution of that zoom. Geometry, clicks and drags stay in layout pixels.
#pragma once

#include <QByteArray>
#include <string>

class TWindowZoom {
 public:
  static constexpr int kMin = 1;
  static constexpr int kMax = 3;

  // The Zoom setting of the settings file at path (never written back here): kMin when
  // missing or not a number, else kept within kMin..kMax.
  static int Read(const std::string& settingsFile);

  // The factor everything is drawn at: the requested scale (the screen's or the user's
  // QT_SCALE_FACTOR) rounded down to a whole number, at least 1, times zoom.
  static int Factor(double requestedScale, int zoom);

  // The desktop's own QT_SCALE_FACTOR as a number: 1 when unset or not a number.
  static double RequestedScale();

  // Before the application object exists: draws the program at Factor(RequestedScale(), zoom)
  // and rounds a screen's own scale down to a whole number. Returns the QT_SCALE_FACTOR that
  // was set, for Restore once the application object has read it.
  static QByteArray Prepare(int zoom);
  // Programs started later get the user's own QT_SCALE_FACTOR back.
  static void Restore(const QByteArray& scaleFactor);

  // While windows are shown: everything is drawn at factor from now on, and every window keeps
  // its top-left corner on the screen. False, with nothing changed, where this build cannot
  // change the factor while running (the zoom then applies from the next start).
  static bool Change(int factor);
};
