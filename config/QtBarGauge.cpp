#include "config/QtBarGauge.h"

#include <QPalette>
#include <algorithm>

QtBarGauge::QtBarGauge(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 100);
  setOrientation(Qt::Vertical);
  setTextVisible(true);
  setFormat("%p%");
  setValue(0);
  setBarColour(BarColour::Yellow);
}

void QtBarGauge::setProgress(int value) { setValue(std::clamp(value, 0, 100)); }

void QtBarGauge::setBarColour(BarColour colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Highlight, colour == BarColour::Red ? QColor(255, 0, 0) : QColor(255, 255, 0));
  p.setColor(QPalette::HighlightedText, Qt::black);
  setPalette(p);
}
