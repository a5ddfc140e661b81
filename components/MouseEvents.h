// Event types shared by the program's controls: a notification with its sender, and mouse
// events carrying the button, the shift state (keys and held buttons) and the position in
// the control's own coordinates.
#pragma once

#include <QObject>
#include <functional>

class QMouseEvent;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Bit set of keys and mouse buttons held during an event.
enum TShiftFlag : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseEvent =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QObject* sender, TShiftState shift, int x, int y)>;

// The shift state of a Qt mouse event (the buttons held after the event).
TShiftState ShiftStateOf(const QMouseEvent& event);

// The button that caused a press or release.
TMouseButton MouseButtonOf(const QMouseEvent& event);
