#include "app/QtGauge.h"

#include <QPainter>

#include "app/StatusPoll.h"

QtGauge::QtGauge(QWidget* parent) : QWidget(parent) {}

void QtGauge::SetProgress(int value) {
  const int clamped = GaugePercent(value);
  if (clamped == progress_) return;
  progress_ = clamped;
  update();
}

void QtGauge::SetForeColor(const QColor& colour) {
  if (colour == foreColor_) return;
  foreColor_ = colour;
  update();
}

QString QtGauge::Text() const { return QString::number(progress_) + QLatin1Char('%'); }

void QtGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  painter.fillRect(rect(), Qt::white);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const int filled = inside.height() * progress_ / 100;
  painter.fillRect(QRect(inside.left(), inside.bottom() - filled + 1, inside.width(), filled), foreColor_);
  painter.setPen(Qt::black);
  painter.drawRect(frame);
  painter.setFont(font());
  painter.drawText(inside, Qt::AlignCenter, Text());
}
