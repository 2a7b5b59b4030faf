#pragma once
// The look every window shares: the fonts registered at start-up, the
// light-blue window background, the state colours and centring on the screen.

#include <QColor>
#include <QString>

#include "app/StatusPoll.h"

class QLabel;
class QWidget;

// The "inactive-caption gradient" background of the windows.
inline QColor WindowBackground() { return QColor(215, 228, 242); }
// Red, yellow and dark green, exactly; Window is the text boxes' own colour.
QColor StateQColor(StateColour colour);

// Registers Tahoma (outside fontconfig's folders) and a CJK fallback for it,
// so that Chinese texts in Tahoma controls are drawn. False when Tahoma is
// missing; the windows then fall back to the default font.
bool RegisterFonts();

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget* window);

// Gives a window the light-blue background.
void PaintWindowBackground(QWidget* window);

// While one lives, the mouse shows the busy cursor over every window: an
// exchange that the user started blocks the user interface until it ends.
// The periodic polls, which take milliseconds, show none.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// While one lives, the normal arrow: a message or a dialog shown in the
// middle of an exchange waits for the user, not for the sensor.
class NormalCursor {
 public:
  NormalCursor();
  ~NormalCursor();
  NormalCursor(const NormalCursor&) = delete;
  NormalCursor& operator=(const NormalCursor&) = delete;
};

// Draws SVG artwork into a picture box, scaled proportionally and centred.
void ShowArtwork(QLabel* picture, const QString& resource);
