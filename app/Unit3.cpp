#include "app/Unit3.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QWindow>

#include "app/QtLook.h"
#include "ui_Unit3.h"

TForm3::TForm3(QWidget* parent) : QWidget(parent), ui_(new Ui::TForm3) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(346, 34);
  PaintWindowBackground(this);
}

TForm3::~TForm3() { delete ui_; }

QProgressBar* TForm3::ProgressBar1() const { return ui_->ProgressBar1; }

void TForm3::SetTitle(const QString& title) { setWindowTitle(title); }

void TForm3::SetMaximum(int maximum) {
  // A maximum of 0 would turn the bar into a busy indicator; an empty bar is meant.
  ui_->ProgressBar1->setMaximum(maximum > 0 ? maximum : 1);
  if (maximum <= 0) ui_->ProgressBar1->setValue(0);
}

void TForm3::SetPosition(int position) {
  QProgressBar* bar = ui_->ProgressBar1;
  bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

void TForm3::Step() { SetPosition(ui_->ProgressBar1->value() + 1); }

void TForm3::ShowProgress() {
  if (!isVisible()) {
    CentreOnScreen(this);
    show();
    // The operation that shows the window blocks the user interface until
    // its first step: the window must be on the screen and painted before
    // that, not show what lay under it. Only the window's own expose and
    // paint are waited for; its user input waits for the next step.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && waited.elapsed() < 200) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
  }
  raise();
  repaint();
}

void TForm3::CloseProgress() { hide(); }
