#include "TrayComp.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QWidget>

#include "QtText.h"

TTrayComp::TTrayComp(QWidget* form) : QObject(form), form_(form), icon_(new QSystemTrayIcon(this)) {
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger) LeftClick();
    // The notification area opens the context menu itself.
    if (why == QSystemTrayIcon::Context) RightClick();
  });
}

bool TTrayComp::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TTrayComp::SetShowForm(bool show) {
  show_form_ = show;
  form_->setVisible(show);
}

void TTrayComp::SetToolTip(const std::string& text) {
  QString shown = ToQString(text);
  if (shown.size() > kMaxToolTip) {
    shown.truncate(kMaxToolTip);
    // Never half a character outside the basic plane.
    if (shown.back().isHighSurrogate()) shown.chop(1);
  }
  tool_tip_ = FromQString(shown);
  // A title is plain text even where it looks like markup ("<b>Live</b>").
  icon_->setToolTip(Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown) : shown);
}

void TTrayComp::SetPopupMenu(QMenu* menu) {
  popup_menu_ = menu;
  icon_->setContextMenu(menu);
}

// A tool window has no taskbar entry. Changing the flags hides the window, so a shown one
// is shown again.
void TTrayComp::SetShowInTaskBar(bool show) {
  if (show == show_in_task_bar_) return;
  show_in_task_bar_ = show;
  const bool visible = form_->isVisible();
  form_->setWindowFlag(Qt::Tool, !show);
  // Tool windows do not end the program when closed; this one still does.
  form_->setAttribute(Qt::WA_QuitOnClose, true);
  if (visible) form_->show();
}

bool TTrayComp::ShowIcon() const { return icon_->isVisible(); }

void TTrayComp::SetShowIcon(bool show) { icon_->setVisible(show); }

void TTrayComp::SetIcon(const QIcon& icon) { icon_->setIcon(icon); }

void TTrayComp::LeftClick() {
  if (OnLeftClick) {
    OnLeftClick(this);
  } else if (DefLClick && show_form_) {
    ShowAndActivate();
  }
}

void TTrayComp::RightClick() {
  if (OnRightClick) {
    OnRightClick(this);
  } else if (DefRClick && show_form_) {
    ShowAndActivate();
  }
}

void TTrayComp::ShowAndActivate() {
  form_->show();
  form_->raise();
  form_->activateWindow();
}
