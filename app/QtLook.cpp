#include "app/QtLook.h"

#include <QFont>
#include <QFontDatabase>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>

namespace {
const char* const kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"};
const char* const kChineseFamily = "WenQuanYi Micro Hei";
}  // namespace

QColor StateQColor(StateColour colour) {
  switch (colour) {
    case StateColour::Red:
      return QColor(255, 0, 0);
    case StateColour::Yellow:
      return QColor(255, 255, 0);
    case StateColour::Green:
      return QColor(0, 128, 0);
    case StateColour::Window:
      break;
  }
  return QColor(255, 255, 255);
}

bool RegisterFonts() {
  bool tahoma = false;
  for (const char* file : kTahomaFiles) {
    if (QFontDatabase::addApplicationFont(QString::fromUtf8(file)) >= 0) tahoma = true;
  }
  // Tahoma has no Chinese glyphs: let the CJK font stand in for them.
  QFont::insertSubstitution(QStringLiteral("Tahoma"), QString::fromUtf8(kChineseFamily));
  return tahoma;
}

void CentreOnScreen(QWidget* window) {
  QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

void PaintWindowBackground(QWidget* window) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, WindowBackground());
  window->setPalette(palette);
  window->setAutoFillBackground(true);
}

void ShowArtwork(QLabel* picture, const QString& resource) {
  // The artwork is compiled into the window library; a static library's
  // resources are registered by hand (registering twice is harmless).
  Q_INIT_RESOURCE(assets);
  QSvgRenderer renderer(resource);
  if (!renderer.isValid()) return;
  const qreal ratio = picture->devicePixelRatioF();
  QPixmap pixmap(picture->size() * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QSizeF drawn = renderer.defaultSize();
  drawn.scale(QSizeF(picture->size()), Qt::KeepAspectRatio);
  const QPointF corner((picture->width() - drawn.width()) / 2.0, (picture->height() - drawn.height()) / 2.0);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(corner, drawn));
  painter.end();
  picture->setPixmap(pixmap);
}

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

NormalCursor::NormalCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
NormalCursor::~NormalCursor() { QGuiApplication::restoreOverrideCursor(); }
