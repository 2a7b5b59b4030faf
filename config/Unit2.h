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
#include <map>
#include <memory>
#include <string>

#include "config/ConfigState.h"
#include "config/Converters.h"
#include "config/RegisterMap.h"
#include "config/SensorTypePage.h"
#include "link/CommandExchange.h"

class QMenu;
class QtValueBox;
class TForm1;

namespace Ui {
class TForm2;
}

class TForm2 : public QDialog, public SensorTypePage {
  Q_OBJECT

 public:
  explicit TForm2(CommandExchange& exchange, QWidget* parent = nullptr);
  ~TForm2() override;

  ConfigState& State() { return state_; }
  std::uint16_t FeaturesWord() const { return state_.FeaturesWord; }

  // Writes the current language's captions, items and hints into the window.
  // Replacing the radio groups' items clears their selections; the next
  // features read selects them again.
  void ApplyLanguage();

  // The features read. The main window runs it too, while this window is
  // closed: at start-up (the port search's readFeatures hook), after an
  // import and after restoring factory defaults. It takes no exchange guard:
  // its callers are exchanges themselves.
  void Button37Click();
  // The features write, from the Sensor Type page's controls.
  void Button38Click();
  // The visibility rules of the features word last read.
  void ApplyFeatureVisibility();

  // Plugs the window into the main window: its Configure entry shows this
  // window, the port search runs the features read, the status display
  // follows the features word, the language step reaches this window, and
  // the visibility rules show or hide the main window's Reporting and
  // Brightness entries.
  void AttachTo(TForm1& form1);

  bool LiveUpdateRunning() const { return Timer1->isActive(); }

  // The Sensor Type page as the features read and write see it.
  ValueBox& FeaturesBox() override;
  ValueBox& AnalogueLevelBox(std::uint16_t address) override;
  void HideAnalogueLevelBoxes() override;
  void ShowFeatureControls(const FeatureControls& controls) override;
  void ApplyVisibility(const FeatureVisibility& visibility) override;

  // Every way of closing ends here; closing is refused while another
  // exchange is in progress, so that "ce" and the lock never cut into it.
  // Opening takes no guard of its own: the main window's Configure entry
  // shows the window inside its exchange, and refuses while another runs.
  void done(int result) override;

 signals:
  // The main window's part of the visibility rules: whether its Reporting
  // and Brightness menu entries are shown, and the features word for its
  // status display.
  void MainWindowFeatures(bool reportingShown, bool brightnessShown, quint16 featuresWord);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

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
  QtValueBox& Box(const std::string& name);
  // The box the register table names for a register.
  QtValueBox& RegisterBox(std::uint16_t address);

  std::unique_ptr<Ui::TForm2> ui;
  CommandExchange& exchange_;
  ConfigState state_;
  Converters converters_;
  std::map<std::string, std::unique_ptr<QtValueBox>> boxes_;
  // The live update, every 500 ms on the Debris and Water Contamination pages.
  QTimer* Timer1;
  // The Scaling menu is never shown; its entries answer their shortcuts.
  QMenu* Scaling1;
  // The opening sequence ran, so closing owes the sensor "ce" and the lock.
  bool configuring_ = false;
  // Page changes the window makes itself read nothing.
  bool changingPages_ = false;
};
