#pragma once
// A text box, or a drop-down box that accepts typed text, of a window as the
// converters see it. Putting a text into a drop-down box does not choose one
// of its entries.

#include <QColor>
#include <QPointer>

#include "config/ValueBox.h"

class QComboBox;
class QLineEdit;
class QWidget;

class QtValueBox : public ValueBox {
 public:
  explicit QtValueBox(QLineEdit* edit);
  explicit QtValueBox(QComboBox* combo);

  std::string Text() const override;
  void SetText(const std::string& text) override;
  void SetFontColour(FontColour colour) override;
  void SetBackground(Background background) override;

  QWidget* Widget() const;

 private:
  QPointer<QLineEdit> edit_;
  QPointer<QComboBox> combo_;
  // The background the box was laid out with, for "normal".
  QColor normalBase_;
};
