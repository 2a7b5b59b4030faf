#include "config/QtValueBox.h"

#include <QComboBox>
#include <QLineEdit>

QtValueBox::QtValueBox(QLineEdit* edit) : edit_(edit), normalBase_(edit->palette().color(QPalette::Base)) {}

QtValueBox::QtValueBox(QComboBox* combo) : combo_(combo), normalBase_(combo->palette().color(QPalette::Base)) {}

QWidget* QtValueBox::Widget() const {
  if (edit_) return edit_;
  return combo_;
}

std::string QtValueBox::Text() const {
  if (edit_) return edit_->text().toStdString();
  if (combo_) return combo_->currentText().toStdString();
  return {};
}

void QtValueBox::SetText(const std::string& text) {
  if (edit_) edit_->setText(QString::fromStdString(text));
  if (combo_) combo_->setEditText(QString::fromStdString(text));
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
