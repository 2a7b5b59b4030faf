// The reporting window over an in-memory sensor: its layout, showing and
// closing in place of the status poll, one poll into the boxes and charts,
// Pause / Play, Clear, the user log from its menu, and the acknowledged
// command restarting its poll.

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QValueAxis>
#include <algorithm>

#include <fstream>

#include "app/QtWindows.h"
#include "monitor/Unit4.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kExample = "0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6";

std::string Extended(const std::string& fields) {
  std::string reply = "\n\r\x02" "a," + fields;
  reply.append(93 - std::min<std::size_t>(93, reply.size()), ' ');
  return reply;
}

class ReportingWindowTest : public MainWindowFixture {
 protected:
  ReportingWindowTest() {
    form4.SetDataFolder(folder.Path());
    WireReportingWindow(form, user, form4);
    sensor.SetOtherwise([this](const std::string& request) {
      return request == "a" && !silent ? Extended(fields) : std::string();
    });
  }
  ~ReportingWindowTest() override { form4.hide(); }

  QLineEdit* Box(const char* name) { return form4.findChild<QLineEdit*>(name); }
  QPushButton* Button(const char* name) { return form4.findChild<QPushButton*>(name); }
  QChart* Chart(const char* name) {
    auto* view = form4.findChild<QChartView*>(QString::fromUtf8(name) + "View");
    EXPECT_NE(view, nullptr) << name;
    return view != nullptr ? view->chart() : nullptr;
  }
  std::vector<QLineSeries*> Series(const char* name) {
    std::vector<QLineSeries*> series;
    for (QAbstractSeries* s : Chart(name)->series()) series.push_back(qobject_cast<QLineSeries*>(s));
    return series;
  }
  QValueAxis* Axis(const char* chart, Qt::Orientation orientation) {
    return qobject_cast<QValueAxis*>(Chart(chart)->axes(orientation).front());
  }
  int SentA() const {
    const std::vector<std::string> sent = line.Sent();
    return static_cast<int>(std::count(sent.begin(), sent.end(), "a"));
  }

  TempFolder folder;
  TForm4 form4{line.session, &form};
  std::string fields = kExample;
  bool silent = false;
};

TEST_F(ReportingWindowTest, LaidOutWithItsBoxesChartsAndNote) {
  EXPECT_EQ(form4.windowTitle(), "Debris");
  EXPECT_TRUE(form4.isWindow());
  auto* client = form4.findChild<QWidget*>("ClientArea");
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->width(), 1616);
  EXPECT_EQ(client->height() + form4.menuBar()->sizeHint().height(), 1092);
  EXPECT_NE(form4.findChild<QScrollArea*>(), nullptr) << "it scrolls on a smaller screen";
  EXPECT_FALSE(form4.Timer1()->isActive());
  EXPECT_EQ(form4.Timer1()->interval(), 1000);

  // The boxes, top to bottom, each under its label.
  const std::pair<const char*, const char*> rows[] = {
      {"Raw Internal", "Edit1"},       {"Internal C", "Edit2"},   {"Raw External", "Edit3"},
      {"External C", "Edit4"},         {"Debris Ref Coarse", "Edit5"}, {"Debris Coarse", "Edit6"},
      {"Coarse %", "Edit7"},           {"Calibrated", "Edit15"},  {"Correction", "Edit16"},
      {"Debris Ref Fine", "Edit8"},    {"Debris Fine", "Edit9"},  {"Fine %", "Edit10"},
      {"Calibrated", "Edit17"},        {"Correction", "Edit18"},  {"Oil Ref Count", "Edit11"},
      {"Oil Count", "Edit12"},         {"Oil", "Edit13"},         {"Status", "Edit14"},
  };
  int above = -1;
  for (const auto& [label, edit] : rows) {
    SCOPED_TRACE(edit);
    QLineEdit* box = Box(edit);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_GT(box->y(), above);
    above = box->y();
    QLabel* caption = nullptr;
    for (QLabel* l : client->findChildren<QLabel*>()) {
      if (l->buddy() == box) caption = l;
    }
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->text(), label);
    EXPECT_EQ(caption->y(), box->y());
  }
  EXPECT_EQ(Button("Button2")->text(), "Pause");
  EXPECT_EQ(Button("Button3")->text(), "Clear");
  EXPECT_GT(Button("Button2")->y(), above);

  struct ChartRow {
    const char* name;
    const char* title;
    QStringList series;
    int column, row;
  };
  const ChartRow charts[] = {
      {"chCorrection", "Coarse/ Fine Correction", {"Coarse Correction", "Coarse/Fine Correction"}, 0, 0},
      {"chDebrisQ", "Debris Ref Coarse, Coarse", {"Debris Ref Q", "Debris Q"}, 0, 1},
      {"chDebrisCount", "Debris Ref Fine, Fine", {"Debris Ref Count", "Debris Count"}, 0, 2},
      {"chOilCount", "Oil Ref Count, Count", {"Oil Ref Count", "Oil Count"}, 0, 3},
      {"chCalibrated", "Calibrated Coarse/ Fine", {"Calibrated Coarse", "Calibrated Fine"}, 1, 0},
      {"chPercent", "Debris Percentage Coarse(Red) Fine (Green)", {"Coarse Percent", "FinePercent"}, 1, 1},
      {"chDielectric", "Oil", {"Oil"}, 1, 2},
      {"chTemperature", "Internal temperature (Red) External (Green)", {"Internal deg C", "External deg C"}, 1, 3},
  };
  const QPoint topLeft = form4.findChild<QChartView*>("chCorrectionView")->pos();
  for (const ChartRow& c : charts) {
    SCOPED_TRACE(c.name);
    QChart* chart = Chart(c.name);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->title(), c.title);
    EXPECT_FALSE(chart->legend()->isVisible());
    const std::vector<QLineSeries*> series = Series(c.name);
    ASSERT_EQ(static_cast<int>(series.size()), c.series.size());
    for (std::size_t s = 0; s < series.size(); ++s) {
      EXPECT_EQ(series[s]->name(), c.series[static_cast<int>(s)]);
      EXPECT_EQ(series[s]->color(), s == 0 ? QColor(255, 0, 0) : QColor(0, 128, 0));
    }
    const QChartView* view = form4.findChild<QChartView*>(QString::fromUtf8(c.name) + "View");
    EXPECT_EQ(view->x() > topLeft.x(), c.column == 1);
    EXPECT_EQ(view->y(), topLeft.y() + c.row * (view->height() + 6));
  }
  EXPECT_EQ(Axis("chPercent", Qt::Vertical)->min(), 0);
  EXPECT_EQ(Axis("chPercent", Qt::Vertical)->max(), 100);
  EXPECT_FALSE(Axis("chPercent", Qt::Horizontal)->isLineVisible());
  EXPECT_TRUE(Axis("chOilCount", Qt::Horizontal)->isLineVisible());

  QLabel* note = nullptr;
  for (QLabel* l : client->findChildren<QLabel*>()) {
    if (l->text() == "All charts show last 60 seconds of data") note = l;
  }
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_GT(note->y(), form4.findChild<QChartView*>("chOilCountView")->geometry().bottom());

  QMenu* sensorMenu = form4.findChild<QMenu*>("Sensor1");
  ASSERT_NE(sensorMenu, nullptr);
  EXPECT_EQ(sensorMenu->title(), "Sensor");
  ASSERT_EQ(sensorMenu->actions().size(), 1);
  EXPECT_EQ(sensorMenu->actions().front()->text(), "Log");
}

TEST_F(ReportingWindowTest, ShownFromTheMenuItPollsInPlaceOfTheStatusPoll) {
  form.Timer1()->start();
  Action("Graphic1")->trigger();
  ASSERT_TRUE(form4.isVisible());
  EXPECT_FALSE(form.Timer1()->isActive()) << "the status poll stops";
  EXPECT_TRUE(form4.Timer1()->isActive());
  EXPECT_EQ(ReadBytes(folder.File("rawdata.csv")).rfind("\r\nSeconds,Coarse(%),", 0), 0u);
  EXPECT_TRUE(line.Sent().empty()) << "the first poll follows one interval later";

  // One poll: the boxes and one point in every series.
  clock.Sleep(12000);
  form4.Button1Click();
  EXPECT_EQ(line.Sent(), std::vector<std::string>{"a"});
  EXPECT_EQ(Box("Edit2")->text(), "25.00");
  EXPECT_EQ(Box("Edit4")->text(), "-1.00");
  EXPECT_EQ(Box("Edit13")->text(), "1000");
  EXPECT_EQ(Box("Edit15")->text(), "-2");
  EXPECT_EQ(Box("Edit14")->text(), "06");
  for (const ReportChartInfo& info : kReportChartInfo) {
    for (QLineSeries* series : Series(info.name)) EXPECT_EQ(series->count(), 1) << info.name;
  }
  const QList<QPointF> temperatures = Series("chTemperature")[1]->points();
  EXPECT_EQ(temperatures, QList<QPointF>({QPointF(0, -1)}));
  EXPECT_EQ(Series("chDielectric")[0]->points(), QList<QPointF>({QPointF(0, 1000)}));
  // The value axis follows the points; the percentages keep 0 to 100.
  QValueAxis* temperatureAxis = Axis("chTemperature", Qt::Vertical);
  EXPECT_LE(temperatureAxis->min(), -1);
  EXPECT_GE(temperatureAxis->max(), 25);
  EXPECT_LE(temperatureAxis->max(), 30);
  EXPECT_EQ(Axis("chPercent", Qt::Vertical)->max(), 100);

  // A missing reply leaves everything as it is.
  silent = true;
  form4.Button1Click();
  EXPECT_EQ(Box("Edit2")->text(), "25.00");
  EXPECT_EQ(Series("chOilCount")[0]->count(), 1);

  // The acknowledged command restarts this poll, not the status poll.
  form4.Timer1()->stop();
  line.session.Exchange().SendAcknowledgedCommand("cs");
  EXPECT_TRUE(form4.Timer1()->isActive());
  EXPECT_FALSE(form.Timer1()->isActive());

  form4.close();
  EXPECT_FALSE(form4.Timer1()->isActive());
  EXPECT_TRUE(form.Timer1()->isActive()) << "closing starts the status poll again";
  EXPECT_EQ(ReadBytes(folder.File("rawdata.csv")),
            "\r\nSeconds,Coarse(%),Fine(%),Dielectric,RawInt,RawExt,IntC,ExtC,DebrisRefQ,DebrisQ,DebrisRefCount,"
            "DebrisCount,OilRefCount,OilCount,CalibratedCoarse,Correction,CalibratedFine,Correction,Status"
            "\r\n12,10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06");

  // Closed, the acknowledged command restarts the status poll instead.
  form.Timer1()->stop();
  line.session.Exchange().SendAcknowledgedCommand("ce");
  EXPECT_TRUE(form.Timer1()->isActive());
  EXPECT_FALSE(form4.Timer1()->isActive());
}

TEST_F(ReportingWindowTest, PauseSendsNothingAndPlayGoesOnWithTheTimeJumped) {
  const std::string log = folder.File("mine.csv");
  user.answerFileChoice = [&](const std::string& filter, const std::string& extension, bool save) {
    EXPECT_TRUE(save);
    EXPECT_EQ(filter, "");
    EXPECT_EQ(extension, "");
    return std::optional<std::string>(log);
  };
  form4.show();
  form4.findChild<QAction*>("Open1")->trigger();
  ASSERT_TRUE(form4.State().userLog.Enabled());

  Button("Button2")->click();
  EXPECT_FALSE(form4.Timer1()->isActive());
  EXPECT_EQ(Button("Button2")->text(), "Play");
  clock.Sleep(5000);
  QTest::qWait(1300);
  EXPECT_EQ(SentA(), 0) << "no poll while paused";

  Button("Button2")->click();
  EXPECT_TRUE(form4.Timer1()->isActive());
  EXPECT_EQ(Button("Button2")->text(), "Pause");
  EXPECT_TRUE(QTest::qWaitFor([&] { return SentA() == 1; }, 3000));
  EXPECT_EQ(ReadBytes(log).substr(ReadBytes(log).find("\r\n")), "\r\n5,,10,5,1000,4660,9029,25.00,-1.00,100,101,102,103,"
                                                               "104,105,65534,1,0,0,06")
      << "the time column jumps by the pause";
}

TEST_F(ReportingWindowTest, ClearEmptiesEveryChartAndLeavesTheBoxes) {
  form4.show();
  form4.Button1Click();
  form4.Button1Click();
  EXPECT_EQ(Series("chCorrection")[1]->count(), 2);
  Button("Button3")->click();
  for (const ReportChartInfo& info : kReportChartInfo) {
    for (QLineSeries* series : Series(info.name)) EXPECT_EQ(series->count(), 0) << info.name;
  }
  EXPECT_EQ(Box("Edit7")->text(), "10");
  fields = "1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12";
  form4.Button1Click();
  EXPECT_EQ(Series("chPercent")[0]->points(), QList<QPointF>({QPointF(0, 1)}));
  EXPECT_EQ(Series("chPercent")[1]->points(), QList<QPointF>({QPointF(0, 2)}));
}

}  // namespace
