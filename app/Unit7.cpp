#include "app/Unit7.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QLabel>
#include <QUrl>

#include "app/QtLook.h"
#include "app/Unit9.h"
#include "app/Versions.h"
#include "link/CommandExchange.h"

const char* const kMakerAddress = "https://example.com/";
const char* const kProductAddress = "https://example.com/oil-debris-sensor/";

namespace {
constexpr int kClientWidth = 405;
constexpr int kClientHeight = 144;

// A label at its laid-out top, centred where its laid-out box was centred
// and as wide as its text, so that a longer text is not clipped.
void PlaceCentred(QLabel* label, int left, int top, int width, int height) {
  const int centre = left + width / 2;
  const int shown = std::max(width, label->sizeHint().width());
  label->setGeometry(centre - shown / 2, top, shown, height);
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromUtf8(name));
  return label;
}
}  // namespace

TForm7::TForm7(const LinkState& link, QWidget* parent)
    : QDialog(parent),
      openUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      link_(link),
      lbGUI_(NewLabel(this, "lbGUI", QStringLiteral("GUI 5824-XXX"))),
      lbFW_(NewLabel(this, "lbFW", QStringLiteral("FW 5818-XXX"))),
      label2_(NewLabel(this, "Label2", QString::fromUtf8(kMakerAddress))),
      label3_(NewLabel(this, "Label3", QString::fromUtf8(kProductAddress))) {
  setObjectName(QStringLiteral("TForm7"));
  setWindowTitle(QStringLiteral("Oil Condition Monitoring Sensor"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setModal(false);
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(13);
  setFont(tahoma);
  PaintWindowBackground(this);

  for (QLabel* link : {label2_, label3_}) {
    QPalette blue = link->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(blue);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
  }
  PlaceCentred(label2_, 153, 46, 99, 16);
  PlaceCentred(label3_, 116, 68, 173, 16);
  lbGUI_->setGeometry(162, 90, 81, 16);
  lbFW_->setGeometry(162, 112, 80, 16);
}

TForm7::~TForm7() = default;

void TForm7::ApplyLanguage() { setWindowTitle(QString::fromStdString(TextOf(2))); }

void TForm7::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  CentreOnScreen(this);
  FormShow();
}

void TForm7::FormShow() {
  lbGUI_->setText(QString::fromStdString(GuiVersionText()));
  lbFW_->setText(QString::fromStdString(FirmwareVersionText(link_.m_fwpart, link_.m_fwversion)));
  // A long firmware number stays readable: the labels grow with their text.
  PlaceCentred(lbGUI_, 162, 90, 81, 16);
  PlaceCentred(lbFW_, 162, 112, 80, 16);
}

void TForm7::Label2Click() { openUrl(QUrl(QString::fromUtf8(kMakerAddress))); }

void TForm7::Label3Click() { openUrl(QUrl(QString::fromUtf8(kProductAddress))); }

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == label2_) {
      Label2Click();
      return true;
    }
    if (watched == label3_) {
      Label3Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
