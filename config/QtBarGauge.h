#pragma once
// A vertical bar gauge from 0 to 100 with the value as text in per cent: a
// value above 100 shows a full bar and 100 %, a negative one an empty bar and
// 0 %. The bar is yellow or red.

#include <QProgressBar>

class QtBarGauge : public QProgressBar {
  Q_OBJECT

 public:
  enum class BarColour { Yellow, Red };

  explicit QtBarGauge(QWidget* parent = nullptr);

  // The position, kept within 0 to 100.
  void setProgress(int value);
  void setBarColour(BarColour colour);
  BarColour barColour() const { return colour_; }

 private:
  BarColour colour_ = BarColour::Yellow;
};
