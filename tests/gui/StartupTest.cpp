// The configurator's start-up end to end: the real windows, offscreen,
// against the simulated sensor on COM3 over a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "app/QtGauge.h"
#include "app/QtWindows.h"
#include "app/StatusPoll.h"
#include "app/Unit9.h"
#include "tests/support/SensorSimProcess.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

TEST(StartupTest, FindsTheSensorAndShowsItsFirstReadings) {
  char pattern[] = "/tmp/od-gui-startup-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string home = pattern;
  const std::string data = home + "/TesselAppsData/OilDebris";
  SensorSimProcess sensor({"--com", "3", "--home", home});
  ASSERT_TRUE(sensor.Ready()) << sensor.Output();

  QtWindows windows;
  windows.form1.SetDataFolder(data);
  windows.form1.SetDebugLogPath(data + "/debug.log");
  int closed = 0;
  QObject::connect(&windows.form1, &TForm1::Closed, [&] { ++closed; });

  // The user picks the Chinese texts in the language window.
  bool languageAsked = false;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (QApplication::activeModalWidget() != &windows.form8) return;
    languageAsked = true;
    windows.form8.ComboBox1()->setCurrentIndex(1);
    windows.form8.Button1()->click();
    answer.stop();
  });
  answer.start(20);

  windows.form1.show();
  auto* comms = windows.form1.findChild<QLabel*>("lbComms");
  ASSERT_NE(comms, nullptr);
  const QString commsOk = QString::fromStdString(TextIn(45, 1));
  // Found, identified, and the poll has had its first good reply (500 ms beat).
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return comms->text() == commsOk && windows.form1.Timer1()->interval() == 500; }, 20000));
  EXPECT_TRUE(languageAsked);
  EXPECT_EQ(windows.form1.Link().m_comnum, 3);
  EXPECT_EQ(windows.form1.windowTitle(), QString::fromStdString(TextIn(2, 1)));
  EXPECT_EQ(windows.form1.findChild<QLabel*>("Label3")->text(), QString::fromStdString(TextIn(39, 1)));

  // The screen shows what the last logged reading gives, for the channels
  // the sensor's features word leaves on.
  const QString oil = windows.form1.findChild<QLineEdit*>("Edit3")->text();
  const QString temperature = windows.form1.findChild<QLineEdit*>("Edit1")->text();
  auto* coarseGauge = windows.form1.findChild<QtGauge*>("GaugeCoarse");
  auto* fineGauge = windows.form1.findChild<QtGauge*>("GaugeFine");
  const QString coarse = coarseGauge->isHidden() ? windows.form1.findChild<QLineEdit*>("Edit2")->text()
                                                 : coarseGauge->Text();
  const QString fine =
      fineGauge->isHidden() ? windows.form1.findChild<QLineEdit*>("Edit4")->text() : fineGauge->Text();
  const QString errors = windows.form1.findChild<QLabel*>("lbErrors")->text();
  const std::string log = ReadFile(data + "/debug.log");
  // The search's lines each begin with a line break, the status lines end with one.
  const std::string searched = "\r\nOpen Port 3\r\nPingcomport 3\r\nm_comnum 3";
  ASSERT_EQ(log.rfind(searched, 0), 0u) << log;
  const std::string readings = log.substr(searched.size());
  const std::regex statusLine("(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+),([0-9a-f]+)\r\n");
  // Nothing but status lines follows the search.
  std::smatch last;
  std::size_t covered = 0;
  for (auto it = std::sregex_iterator(readings.begin(), readings.end(), statusLine); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ(static_cast<std::size_t>(it->position()), covered);
    covered = static_cast<std::size_t>(it->position() + it->length());
    last = *it;
  }
  EXPECT_EQ(covered, readings.size());
  ASSERT_FALSE(last.empty()) << log;
  StatusReading reading;
  reading.coarse = std::stoi(last[1]);
  reading.fine = std::stoi(last[2]);
  reading.oil = std::stoi(last[3]);
  reading.temperature = std::stoi(last[4]);
  reading.status = static_cast<std::int32_t>(std::stoul(last[5], nullptr, 16));
  SetLanguage(1);
  const StatusDisplay expected = DisplayStatus(reading, windows.form2.FeaturesWord());
  SetLanguage(0);
  auto gaugeText = [](const GaugeDisplay& gauge) {
    return gauge.disabled ? gauge.disabledText : std::to_string(GaugePercent(gauge.value)) + "%";
  };
  EXPECT_EQ(coarse.toStdString(), gaugeText(expected.coarse));
  EXPECT_EQ(fine.toStdString(), gaugeText(expected.fine));
  EXPECT_EQ(oil.toStdString(), expected.oil.text);
  EXPECT_EQ(temperature.toStdString(), expected.temperature.text);
  EXPECT_EQ(errors.toStdString(), expected.errors);

  // The features refresh has hidden "Reporting" and shows "Brightness" only
  // for a sensor with a display.
  EXPECT_FALSE(windows.form1.findChild<QAction*>("Graphic1")->isVisible());
  EXPECT_EQ(windows.form1.findChild<QMenu*>("Brightness1")->menuAction()->isVisible(),
            (windows.form2.FeaturesWord() & 0x80) != 0);

  windows.form1.close();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(windows.form1.Link().m_debuglog.IsOpen());
  SetLanguage(0);
  if (::testing::Test::HasFailure()) std::printf("%s\n", log.c_str());
  std::system(("rm -rf '" + home + "'").c_str());
}

// The sensor's adapter is pulled (the simulated sensor ends and its link
// goes), the status poll gives up with its message, and when the device is
// back under the same link the window takes the sensor up again by itself.
TEST(StartupTest, AnUnpluggedSensorIsTakenUpAgainWhenItComesBack) {
  char pattern[] = "/tmp/od-gui-replug-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string home = pattern;
  const std::string data = home + "/TesselAppsData/OilDebris";
  auto sensor = std::make_unique<SensorSimProcess>(std::vector<std::string>{"--com", "3", "--home", home});
  ASSERT_TRUE(sensor->Ready()) << sensor->Output();

  QtWindows windows;
  windows.form1.SetDataFolder(data);
  windows.form1.SetDebugLogPath(data + "/debug.log");
  std::vector<std::string> messages;
  windows.user.answerMessage = [&](const Message& message) {
    messages.push_back(message.text);
    return MessageAnswer::Ok;
  };
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (QApplication::activeModalWidget() != &windows.form8) return;
    windows.form8.Button1()->click();
    answer.stop();
  });
  answer.start(20);
  windows.form1.show();
  auto* comms = windows.form1.findChild<QLabel*>("lbComms");
  const auto polling = [&] { return comms->text() == "Comms:Ok" && windows.form1.Timer1()->interval() == 500; };
  ASSERT_TRUE(QTest::qWaitFor(polling, 20000));
  EXPECT_FALSE(windows.form1.ReconnectTimer()->isActive());

  EXPECT_EQ(sensor->Stop(SIGTERM), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return windows.form1.ReconnectTimer()->isActive(); }, 20000));
  EXPECT_FALSE(windows.form1.Timer1()->isActive());
  EXPECT_EQ(comms->text(), "Comms:Fail");
  ASSERT_EQ(messages.size(), 1u);
  // Nothing is there: the window keeps looking and sends nothing.
  QTest::qWait(1500);
  EXPECT_TRUE(windows.form1.ReconnectTimer()->isActive());

  sensor = std::make_unique<SensorSimProcess>(
      std::vector<std::string>{"--com", "3", "--home", home, "--log", home + "/second.log"});
  ASSERT_TRUE(sensor->Ready()) << sensor->Output();
  EXPECT_TRUE(QTest::qWaitFor(polling, 20000));
  EXPECT_FALSE(windows.form1.ReconnectTimer()->isActive());
  EXPECT_TRUE(windows.form1.Timer1()->isActive());
  EXPECT_EQ(messages.size(), 1u);
  // The start-up's final steps, then the status poll.
  const std::vector<std::string> requests = LoggedRequests(home + "/second.log");
  ASSERT_GE(requests.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(requests.begin(), requests.begin() + 5),
            (std::vector<std::string>{"I", "", "U 5E2B", "R 001e 02", "A"}));
  windows.form1.close();
  std::system(("rm -rf '" + home + "'").c_str());
}

}  // namespace
