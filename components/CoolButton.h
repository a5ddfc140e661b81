// TCoolButton: the flat bitmap button of the skinned windows. It draws nothing but one cell
// of its glyph strip, chosen by its state; the pointer counts as over the button only on
// strip pixels that differ from the strip's bottom-left (transparent) colour.
#pragma once

#include <string>

#include "ButtonGlyph.h"
#include "Control.h"

class QShortcut;
class TPictureFile;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TCoolButton : public TControl {
  Q_OBJECT

 public:
  explicit TCoolButton(QWidget* parent = nullptr);
  ~TCoolButton() override;

  // The strip itself.
  const QImage& Glyph() const { return glyph_.Glyph(); }
  // Copies a strip; a strip made of square cells (at most four) sets NumGlyphs to their count,
  // any other whole multiple of the height sets it to 1.
  void SetGlyph(const QImage& strip);
  // Loads a picture file (path in file-system bytes) into the strip, keeping NumGlyphs.
  // False, with the strip unchanged, when the file cannot be read as a picture (no regular
  // file, damaged or incomplete data).
  bool LoadGlyph(const std::string& path);
  bool LoadGlyph(const TPictureFile& file);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  // Values are kept within 1..4.
  void SetNumGlyphs(int value);

  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  // Distance of the glyph from the edge; -1 centres glyph and caption.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  // An ampersand marks the accelerator letter (Alt+letter clicks the button).
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);

  // Buttons of one parent with the same non-zero index form a group.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  // Latched state of a grouped button; always false outside a group.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);

  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }
  bool Dragging() const { return dragging_; }

  // Raises OnClick.
  void Click();

  TNotifyEvent OnClick;
  // Only while Down.
  TNotifyEvent OnDblClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool OverOpaquePixel(QPoint pos) const;
  bool UnderPointer(QPoint pos) const;
  bool InsideForRelease(QPoint pos) const;
  void UpdateTracking(QPoint pos);
  void MouseLeft();
  void UpdateExclusive();
  void ButtonPressed(const TCoolButton* sender);
  void CalcLayout(QPoint& glyphPos, QRect& textRect) const;

  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  static constexpr int kSpacing = 4;  // between glyph and caption
  std::string caption_;
  int groupIndex_ = 0;
  bool down_ = false;
  bool allowAllUp_ = false;
  TButtonState state_ = bsUp;
  bool mouseInControl_ = false;
  bool dragging_ = false;
  QShortcut* accelerator_ = nullptr;
};
