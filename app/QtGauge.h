#pragma once
// A vertical bar gauge: the bar fills from the bottom in the foreground
// colour and the value is written over it in per cent. Values outside 0 to
// 100 show as an empty or a full bar.

#include <QColor>
#include <QWidget>

class QtGauge : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int progress READ Progress WRITE SetProgress)
  Q_PROPERTY(QColor foreColor READ ForeColor WRITE SetForeColor)

 public:
  explicit QtGauge(QWidget* parent = nullptr);

  // The value given, clamped to 0..100.
  int Progress() const { return progress_; }
  void SetProgress(int value);
  QColor ForeColor() const { return foreColor_; }
  void SetForeColor(const QColor& colour);
  // The text drawn over the bar, for example "50%".
  QString Text() const;

  QSize sizeHint() const override { return QSize(105, 82); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int progress_ = 0;
  QColor foreColor_{255, 255, 0};
};
