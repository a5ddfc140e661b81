// A popup menu that can also build its items at run time. An added item remembers its
// 0-based position; clicking it raises OnClick with the menu, that index and the caption.
// Every added item whose 1-based position is a multiple of BreakAt is marked with
// BreakType as its column break (mbNone: none). QMenu has no column breaks of its own and
// lays out its columns by the screen height, so the mark is kept but not drawn; the
// player only ever uses mbNone.
#pragma once

#include <QMenu>
#include <functional>
#include <string>
#include <vector>

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TWPopupMenu : public QMenu {
 public:
  using TClickEvent =
      std::function<void(TWPopupMenu* Sender, int Index, const std::string& Caption)>;

  explicit TWPopupMenu(QWidget* parent = nullptr);

  // Appends an item captioned caption ("&" marks its access key); returns it.
  QAction* AddMenuItem(const std::string& caption);
  // Removes every item.
  void Clear();
  // Number of items added with AddMenuItem since the last Clear.
  int Count() const { return int(breaks_.size()); }
  // The column break of an added item.
  TMenuBreak ItemBreak(int index) const;

  int BreakAt() const { return break_at_; }
  void SetBreakAt(int n) { break_at_ = n; }
  TMenuBreak BreakType() const { return break_type_; }
  void SetBreakType(TMenuBreak type) { break_type_ = type; }

  TClickEvent OnClick;

 private:
  std::vector<TMenuBreak> breaks_;
  int break_at_ = 0;
  TMenuBreak break_type_ = mbNone;
};
