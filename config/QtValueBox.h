#pragma once
// A text box or spin box of a window as the converters see it.

#include <QPalette>
#include <QPointer>

#include "config/ValueBox.h"

class QLineEdit;
class QSpinBox;
class QWidget;

class QtValueBox : public ValueBox {
 public:
  explicit QtValueBox(QLineEdit* edit);
  explicit QtValueBox(QSpinBox* spin);

  std::string Text() const override;
  void SetText(const std::string& text) override;
  void SetFontColour(FontColour colour) override;
  void SetBackground(Background background) override;
  // A text box has no spin value: it reads as 0 and ignores a new one.
  int SpinValue() const override;
  void SetSpinValue(int value) override;

  QWidget* Widget() const;

 private:
  QPointer<QLineEdit> edit_;
  QPointer<QSpinBox> spin_;
  // The background the box was laid out with, for "normal".
  QColor normalBase_;
};
