// The window's icon in the desktop's notification area. The icon stays for the whole run;
// the window is shown and hidden independently of it (ShowForm). A left click raises
// OnLeftClick (or, with DefLClick, shows the window); a right click raises OnRightClick
// (or, with DefRClick, shows the window) and opens PopupMenu at the pointer. With
// ShowInTaskBar off the window has no taskbar entry (it becomes a tool window).
#pragma once

#include <QIcon>
#include <QObject>
#include <string>

#include "MouseEvents.h"

class QMenu;
class QSystemTrayIcon;
class QWidget;

class TTrayComp : public QObject {
 public:
  // Longest tooltip the notification area is given.
  static constexpr int kMaxToolTip = 62;

  explicit TTrayComp(QWidget* form);

  // Whether the desktop has a notification area at all.
  static bool Available();

  bool ShowForm() const { return show_form_; }
  void SetShowForm(bool show);
  const std::string& ToolTip() const { return tool_tip_; }
  // Longer texts are cut to their first kMaxToolTip characters.
  void SetToolTip(const std::string& text);
  QMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(QMenu* menu);
  bool ShowInTaskBar() const { return show_in_task_bar_; }
  void SetShowInTaskBar(bool show);
  bool ShowIcon() const;
  void SetShowIcon(bool show);
  void SetIcon(const QIcon& icon);

  bool DefLClick = true;
  bool DefRClick = true;
  TNotifyEvent OnLeftClick;
  TNotifyEvent OnRightClick;

  // What a click on the icon does; the notification area calls these.
  void LeftClick();
  void RightClick();
  QSystemTrayIcon* Icon() const { return icon_; }

 private:
  void ShowAndActivate();

  QWidget* form_;
  QSystemTrayIcon* icon_;
  QMenu* popup_menu_ = nullptr;
  std::string tool_tip_;
  bool show_form_ = true;
  bool show_in_task_bar_ = true;
};
