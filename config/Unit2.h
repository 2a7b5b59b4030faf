#pragma once
// The configure window: the editor of the sensor's stored settings, eight
// pages in one page control. Opening tells the sensor that configuring
// starts ("cs", after an unlock), closing that it ends ("ce", then a lock);
// a page reads its registers when the user selects it; the Debris and Water
// Contamination pages follow the sensor every 500 ms. The window is created
// once and only shown and hidden, so its state lasts the whole run.

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "config/ConfigureFrame.h"
#include "config/FeatureView.h"
#include "config/RegisterMap.h"
#include "config/Session.h"
#include "config/SpinStep.h"
#include "config/ValueBox.h"

class QLineEdit;
class QMenu;
class QtValueBox;

namespace Ui {
class TForm2;
}

// The window's boxes are the session's register boxes, and it shows what
// the features read and write decide.
class TForm2 : public QDialog, public RegisterBoxes, public FeatureView {
  Q_OBJECT

 public:
  explicit TForm2(Session& session, QWidget* parent = nullptr);
  ~TForm2() override;

  ConfigState& State() { return session_.Config(); }
  std::uint16_t FeaturesWord() const { return session_.Config().FeaturesWord; }

  // Writes the current language's captions, items and hints into the window.
  // Replacing the radio groups' items clears their selections; the next
  // features read selects them again.
  void ApplyLanguage();

  // The features read (the main window runs the same procedure on the
  // session at start-up, after an import and after restoring factory
  // defaults, while this window is closed). It takes no exchange guard: its
  // callers are exchanges themselves.
  void Button37Click();
  // The features write, from the Sensor Type page's controls.
  void Button38Click();
  // Zero/Tare, run by Button89 and by the main window after restoring
  // factory defaults. No exchange guard of its own, as Button37Click.
  void Button86Click();

  bool LiveUpdateRunning() const { return Timer1->isActive(); }

  // The box of a register of the register map: a text box, or the parity's
  // drop-down box.
  ValueBox& Box(std::uint16_t address) override;

  // What the features read and write decide for this window.
  void HideAnalogueLevelBoxes() override;
  void ShowFeatureControls(const FeatureControls& controls) override;
  void ApplyVisibility(const FeatureVisibility& visibility) override;

  // Every way of closing ends here; closing is refused while another
  // exchange is in progress, so that "ce" and the lock never cut into it.
  // Opening takes no guard of its own: the main window's Configure entry
  // shows the window inside its exchange, and refuses while another runs.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  bool FormClose();
  void PageControl1Change(int index);
  void Timer1Timer();
  void ReadButtonClick(std::uint16_t address);
  void SetTemperatureAlarmLabels();
  void FeatureControlChanged();
  FeatureControls CurrentFeatureControls() const;
  void SelectPage(QWidget* page);
  void SetPageShown(QWidget* page, bool shown);
  ConfigPage PageOf(int index) const;
  QtValueBox& NamedBox(const std::string& name);

  // The pages' actions (Unit2Pages.cpp): every button and menu entry that
  // talks to the sensor runs inside the exchange guard, and does nothing
  // while another exchange is in progress.
  void ConnectPageActions();
  void RunExchange(const std::function<void()>& action);
  void Button89Click();
  void Button87Click();
  void Button88Click();
  void Button90Click();
  void Coarse1Click();
  void Fine1Click();
  void SpinClick(QLineEdit* box, SpinDirection direction);
  void SetJ1939Click(std::uint16_t address);
  void ButtonSetBaudRateClick();
  void ButtonBaudRateClick();
  // What a page read or a field Set puts into the boxes that hold no register.
  void ShowPageReading(const ConfigPageReading& reading);

  std::unique_ptr<Ui::TForm2> ui;
  Session& session_;
  // Every text box named "Edit…" and the two drop-down boxes, by name.
  std::map<std::string, std::unique_ptr<QtValueBox>> boxes_;
  // The live update, every 500 ms on the Debris and Water Contamination pages.
  QTimer* Timer1;
  // Single shot, 200 ms after every spin step: a step while it runs
  // continues a held press.
  QTimer* SpinTimer;
  // Whether the user has picked an entry of the baud rate list (a text put
  // into the box by a read is no pick); a pick lasts until another one.
  bool baudRatePicked_ = false;
  // The Scaling menu is never shown; its entries answer their shortcuts.
  QMenu* Scaling1;
  // The opening sequence ran, so closing owes the sensor "ce" and the lock.
  bool configuring_ = false;
  // Page changes the window makes itself read nothing.
  bool changingPages_ = false;
};
