#pragma once
// A pair of small arrow buttons beside a value box: up above, down below.
// Both repeat while held down, so that holding one steps the box on.

#include <QWidget>

class QToolButton;

class QtSpinButton : public QWidget {
  Q_OBJECT

 public:
  explicit QtSpinButton(QWidget* parent = nullptr);

  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 signals:
  void upClick();
  void downClick();

 private:
  QToolButton* up_;
  QToolButton* down_;
};
