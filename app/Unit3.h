#pragma once
// TForm3, the progress window: one bar under a title, shared by every long
// operation on the sensor. It never blocks the other windows; its close box
// only hides it while the operation that showed it goes on.

#include <QWidget>

namespace Ui {
class TForm3;
}
class QProgressBar;

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);
  ~TForm3() override;

  void SetTitle(const QString& title);
  void SetMaximum(int maximum);
  void SetPosition(int position);
  // Advances the bar by one; it stops at the maximum.
  void Step();
  // Shows the window centred on the screen, without blocking.
  void ShowProgress();
  void CloseProgress();

  QProgressBar* ProgressBar1() const;

 private:
  Ui::TForm3* ui_;
};
