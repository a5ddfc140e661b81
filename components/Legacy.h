// A link label: while the mouse is over it, it is underlined, takes ActiveColor and shows
// the hand cursor; a left click asks the desktop to open its address (a web address as it
// is, a mail address with "mailto:" in front), showing the busy cursor meanwhile.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <functional>
#include <string>

enum TAddressType { atWWW, atMail };

class TLegacy : public QLabel {
 public:
  explicit TLegacy(QWidget* parent = nullptr);

  void SetCaption(const std::string& caption);
  const std::string& Address() const { return address_; }
  void SetAddress(const std::string& address) { address_ = address; }
  TAddressType AddressType() const { return address_type_; }
  void SetAddressType(TAddressType type) { address_type_ = type; }
  QColor ActiveColor() const { return active_color_; }
  void SetActiveColor(const QColor& c) { active_color_ = c; }

  // What a click hands to the desktop's opener.
  std::string Target() const;
  // Raised (on the GUI thread) with the reason when the address could not be opened: the
  // opener did not start, or it ended with a failure (no web browser).
  std::function<void(TLegacy* Sender, const std::string& reason)> OnOpenFailed;
  bool Hot() const { return hot_; }

 protected:
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  std::string address_;
  TAddressType address_type_ = atWWW;
  QColor active_color_ = Qt::red;
  bool hot_ = false;
  bool pressed_ = false;
  QFont normal_font_;
  QPalette normal_palette_;
};
