// Measures what one poll of the reporting window costs on screen once all
// eight charts are full (61 points a series): the replacement of every
// series' points with the axes' ranges, and that plus painting the window.
// Runs on the platform given by QT_QPA_PLATFORM (offscreen when unset).
//
//   bench-reporting_bench [ROUNDS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/QtLook.h"
#include "config/Session.h"
#include "link/Clock.h"
#include "monitor/Unit4.h"

namespace {

// The reporting window is visible while it polls.
class ReportingUser : public ::QuietUser {
 public:
  bool ReportingVisible() override { return true; }
};

// A drifting record, as the sensor sends them.
ReportRecord Record(int poll) {
  ReportRecord r;
  const auto wave = [poll](int base, int swing, int period) {
    return static_cast<std::uint32_t>(base + swing * ((poll % period) - period / 2) / period);
  };
  r.Coarse = wave(20, 30, 17);
  r.Fine = wave(15, 20, 13);
  r.Dielectric = wave(1020, 40, 23);
  r.RawInt = wave(2980, 20, 11);
  r.RawExt = wave(1150, 10, 19);
  r.IntC = wave(640, 16, 7);
  r.ExtC = wave(610, 16, 9);
  r.DebrisRefQ = wave(2000, 20, 5);
  r.DebrisQ = wave(2300, 200, 29);
  r.DebrisRefCount = wave(1800, 20, 6);
  r.DebrisCount = wave(1920, 60, 31);
  r.OilRefCount = wave(3000, 10, 8);
  r.OilCount = wave(2980, 60, 37);
  r.CalibratedCoarse = wave(300, 200, 29);
  r.CoarseCorrection = wave(11, 4, 3);
  r.CalibratedFine = wave(110, 60, 31);
  r.FineCorrection = wave(7, 2, 4);
  r.IntDegrees = Degrees(r.IntC);
  r.ExtDegrees = Degrees(r.ExtC);
  r.OilValue = OilValue(r.Dielectric);
  return r;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  RegisterFonts();
  SteadyClock clock;
  ReportingUser user;
  Session session(clock, user);
  TForm4 window(session);
  window.SetDataFolder("/nonexistent");  // no raw data log
  window.show();
  window.Timer1()->stop();  // the bench drives the updates itself
  QApplication::processEvents();

  int poll = 0;
  for (; poll < 61; ++poll) window.State().charts.Append(Record(poll), 60);
  window.UpdateCharts();
  window.repaint();

  std::vector<double> update, painted;
  QElapsedTimer timer;
  for (int i = 0; i < rounds; ++i, ++poll) {
    window.State().charts.Append(Record(poll), 60);
    timer.start();
    window.UpdateCharts();
    update.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    window.State().charts.Append(Record(++poll), 60);
    timer.start();
    window.UpdateCharts();
    window.repaint();  // every chart drawn now, not at the next event
    painted.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::printf("platform %s, %d rounds, 8 charts of 61 points a series\n",
              qPrintable(QGuiApplication::platformName()), rounds);
  std::printf("chart update (replace + axes): median %.3f ms, max %.3f ms\n", Median(update),
              *std::max_element(update.begin(), update.end()));
  std::printf("chart update and repaint:      median %.3f ms, max %.3f ms\n", Median(painted),
              *std::max_element(painted.begin(), painted.end()));
  return 0;
}
