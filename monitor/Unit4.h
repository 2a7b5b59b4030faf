#pragma once
// TForm4, the reporting window ("Debris"): the sensor's extended live data
// once a second, in eighteen read-only boxes and eight rolling charts of the
// last minute, written to the raw data log and the user log. Shown without
// blocking from the main window's "Reporting"; while it is shown its poll
// replaces the main window's status poll. Created once and only shown and
// hidden, so its charts, boxes and logs last the whole run.

#include <QMainWindow>
#include <array>
#include <string>

#include "monitor/ReportingPoll.h"

class QAction;
class QChart;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;
class Session;

class TForm4 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm4(Session& session, QWidget* parent = nullptr);
  ~TForm4() override;

  // The folder of the raw data log (the data folder unless a test moves it).
  void SetDataFolder(std::string folder) { dataFolder_ = std::move(folder); }

  QTimer* Timer1() const { return timer1_; }
  ReportingState& State() { return state_; }

  // The poll timer on or off, with the Pause button's caption following it
  // ("Pause" while it runs, "Play" while it is stopped). The acknowledged
  // command stops and restarts the poll through these.
  void StartPoll();
  void StopPoll();

  // Puts the charts' points into their series, one replacement of each
  // series' whole point list, and sets the axes' ranges.
  void UpdateCharts();

 public slots:
  void Timer1Timer();
  // One poll (the button is never shown; the timer presses it).
  void Button1Click();
  // "Pause" / "Play".
  void Button2Click();
  // "Clear": empties every chart.
  void Button3Click();
  // "Sensor" > "Log": chooses the user log.
  void Open1Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Chart {
    QChart* chart = nullptr;
    QLineSeries* series[2] = {nullptr, nullptr};
    QValueAxis* horizontal = nullptr;
    QValueAxis* value = nullptr;
  };

  void FormShow();
  void FormClose();
  void BuildBoxes(QWidget* client);
  void BuildCharts(QWidget* client);

  Session& session_;
  ReportingState state_;
  std::string dataFolder_;
  QTimer* timer1_;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QAction* open1_ = nullptr;
  std::array<QLineEdit*, kReportBoxes> boxes_{};
  std::array<Chart, kReportChartCount> charts_{};
};
