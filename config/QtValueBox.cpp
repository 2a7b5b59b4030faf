#include "config/QtValueBox.h"

#include <QLineEdit>
#include <QSpinBox>

QtValueBox::QtValueBox(QLineEdit* edit) : edit_(edit), normalBase_(edit->palette().color(QPalette::Base)) {}

QtValueBox::QtValueBox(QSpinBox* spin) : spin_(spin), normalBase_(spin->palette().color(QPalette::Base)) {}

QWidget* QtValueBox::Widget() const {
  if (edit_) return edit_;
  return spin_;
}

std::string QtValueBox::Text() const {
  if (edit_) return edit_->text().toStdString();
  if (spin_) return spin_->text().toStdString();
  return {};
}

void QtValueBox::SetText(const std::string& text) {
  if (edit_) edit_->setText(QString::fromStdString(text));
}

void QtValueBox::SetFontColour(FontColour colour) {
  QWidget* w = Widget();
  if (w == nullptr) return;
  QPalette p = w->palette();
  p.setColor(QPalette::Text, colour == FontColour::Red ? QColor(255, 0, 0) : QColor(0, 0, 0));
  w->setPalette(p);
}

void QtValueBox::SetBackground(Background background) {
  QWidget* w = Widget();
  if (w == nullptr) return;
  QPalette p = w->palette();
  p.setColor(QPalette::Base, background == Background::Yellow ? QColor(255, 255, 0) : normalBase_);
  w->setPalette(p);
}

int QtValueBox::SpinValue() const { return spin_ ? spin_->value() : 0; }

void QtValueBox::SetSpinValue(int value) {
  if (spin_) spin_->setValue(value);
}
