#include "config/QtSpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  b->setAutoRepeat(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  return b;
}

}  // namespace

QtSpinButton::QtSpinButton(QWidget* parent)
    : QWidget(parent), up_(MakeArrow(this, Qt::UpArrow)), down_(MakeArrow(this, Qt::DownArrow)) {
  up_->setObjectName("up");
  down_->setObjectName("down");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, &QtSpinButton::upClick);
  connect(down_, &QToolButton::clicked, this, &QtSpinButton::downClick);
}
