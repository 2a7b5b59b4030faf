#include "config/QtRadioGroup.h"

#include <QPalette>
#include <QRadioButton>
#include <QVBoxLayout>

QtRadioGroup::QtRadioGroup(QWidget* parent) : QGroupBox(parent), layout_(new QVBoxLayout(this)) {
  layout_->setContentsMargins(8, 4, 8, 4);
  layout_->setSpacing(2);
  // A disabled group still tells what the sensor is: its title and items stay
  // readable (dark grey, well above 3:1 against the page), only their marks
  // look inoperable.
  QPalette p = palette();
  const QColor readable(0x59, 0x59, 0x59);
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, readable);
  }
  setPalette(p);
}

QStringList QtRadioGroup::items() const {
  QStringList texts;
  for (const QRadioButton* b : buttons_) texts.append(b->text());
  return texts;
}

void QtRadioGroup::setItems(const QStringList& items) {
  qDeleteAll(buttons_);
  buttons_.clear();
  for (const QString& text : items) {
    auto* b = new QRadioButton(text, this);
    const int index = static_cast<int>(buttons_.size());
    connect(b, &QRadioButton::toggled, this, [this, index](bool on) {
      if (on && !settingIndex_) emit itemChanged(index);
    });
    layout_->addWidget(b);
    buttons_.append(b);
  }
}

int QtRadioGroup::itemIndex() const {
  for (int i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i]->isChecked()) return i;
  }
  return -1;
}

void QtRadioGroup::setItemIndex(int index) {
  settingIndex_ = true;
  for (int i = 0; i < buttons_.size(); ++i) {
    // Exclusivity is lifted while setting: an exclusive button cannot be
    // unchecked, and "none selected" must be possible.
    buttons_[i]->setAutoExclusive(false);
    buttons_[i]->setChecked(i == index);
    buttons_[i]->setAutoExclusive(true);
  }
  settingIndex_ = false;
}

QRadioButton* QtRadioGroup::button(int index) const {
  return index >= 0 && index < buttons_.size() ? buttons_[index] : nullptr;
}
