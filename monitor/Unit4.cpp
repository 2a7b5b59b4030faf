#include "monitor/Unit4.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QValueAxis>

#include "app/QtLook.h"
#include "app/Unit9.h"
#include "config/Session.h"
#include "link/DebugLog.h"

namespace {

constexpr int kWindowWidth = 1616;
constexpr int kWindowHeight = 1092;

// The column of boxes on the left, top to bottom; a small gap sets off the
// temperatures, the coarse channel, the fine channel and the oil channel.
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 120;
constexpr int kBoxLeft = 132;
constexpr int kBoxWidth = 96;
constexpr int kBoxHeight = 21;
constexpr int kRowTop = 16;
constexpr int kRowStep = 27;
constexpr int kGroupGap = 10;
constexpr int kGroupStarts[] = {4, 9, 14, 17};

// Two columns of four charts to the right of the boxes, the note below.
constexpr int kChartLeft = 240;
constexpr int kChartTop = 8;
constexpr int kChartWidth = 680;
constexpr int kChartHeight = 250;
constexpr int kChartGap = 6;

const QColor kFirstSeries(255, 0, 0);
const QColor kSecondSeries(0, 128, 0);

int RowTop(int row) {
  int gaps = 0;
  for (int start : kGroupStarts) gaps += row >= start ? 1 : 0;
  return kRowTop + row * kRowStep + gaps * kGroupGap;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Ticks from the range's start, one per step; an axis told the range it
// already has is not laid out again.
void SetAxis(QValueAxis* axis, const AxisRange& range) {
  if (axis->tickAnchor() != range.min) axis->setTickAnchor(range.min);
  if (axis->tickInterval() != range.step) axis->setTickInterval(range.step);
  if (axis->min() != range.min || axis->max() != range.max) axis->setRange(range.min, range.max);
}

}  // namespace

TForm4::TForm4(Session& session, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      session_(session),
      dataFolder_(DebugLog::DataFolder()),
      timer1_(new QTimer(this)) {
  setObjectName(QStringLiteral("TForm4"));
  setWindowTitle(QStringLiteral("Debris"));
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPointSize(8);
  setFont(tahoma);

  QMenu* sensor = menuBar()->addMenu(QStringLiteral("Sensor"));
  sensor->setObjectName(QStringLiteral("Sensor1"));
  open1_ = sensor->addAction(QStringLiteral("Log"));
  open1_->setObjectName(QStringLiteral("Open1"));
  connect(open1_, &QAction::triggered, this, &TForm4::Open1Click);

  // The laid-out client area scrolls when the screen is smaller than it.
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("ScrollBox1"));
  scroll->setFrameShape(QFrame::NoFrame);
  auto* client = new QWidget;
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kWindowWidth, kWindowHeight - menuBar()->sizeHint().height());
  PaintWindowBackground(client);
  BuildBoxes(client);
  BuildCharts(client);
  scroll->setWidget(client);
  setCentralWidget(scroll);
  resize(kWindowWidth, kWindowHeight);

  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setTimerType(Qt::PreciseTimer);  // the time column steps by whole seconds
  timer1_->setInterval(kReportingIntervalMs);
  connect(timer1_, &QTimer::timeout, this, &TForm4::Timer1Timer);
}

TForm4::~TForm4() = default;

void TForm4::BuildBoxes(QWidget* client) {
  for (int row = 0; row < kReportBoxes; ++row) {
    const ReportBoxInfo& info = kReportBoxInfo[static_cast<std::size_t>(row)];
    auto* label = new QLabel(QString::fromUtf8(info.label), client);
    label->setObjectName(QStringLiteral("Label%1").arg(row + 1));
    label->setGeometry(kLabelLeft, RowTop(row), kLabelWidth, kBoxHeight);
    auto* box = new QLineEdit(client);
    box->setObjectName(QString::fromUtf8(info.edit));
    box->setGeometry(kBoxLeft, RowTop(row), kBoxWidth, kBoxHeight);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    label->setBuddy(box);
    boxes_[static_cast<std::size_t>(row)] = box;
  }
  const int buttonsTop = RowTop(kReportBoxes) + kGroupGap;
  button2_ = new QPushButton(QStringLiteral("Pause"), client);
  button2_->setObjectName(QStringLiteral("Button2"));
  button2_->setGeometry(kLabelLeft, buttonsTop, 105, 25);
  connect(button2_, &QPushButton::clicked, this, &TForm4::Button2Click);
  button3_ = new QPushButton(QStringLiteral("Clear"), client);
  button3_->setObjectName(QStringLiteral("Button3"));
  button3_->setGeometry(kLabelLeft + 115, buttonsTop, 105, 25);
  connect(button3_, &QPushButton::clicked, this, &TForm4::Button3Click);
}

void TForm4::BuildCharts(QWidget* client) {
  for (int c = 0; c < kReportChartCount; ++c) {
    const ReportChartInfo& info = kReportChartInfo[static_cast<std::size_t>(c)];
    Chart& chart = charts_[static_cast<std::size_t>(c)];
    chart.chart = new QChart;
    chart.chart->setObjectName(QString::fromUtf8(info.name));
    chart.chart->setTitle(QString::fromUtf8(info.title));
    chart.chart->legend()->hide();
    chart.chart->setBackgroundRoundness(0);

    chart.horizontal = new QValueAxis(chart.chart);
    chart.horizontal->setObjectName(QString::fromUtf8(info.name) + QStringLiteral("Horizontal"));
    chart.horizontal->setLabelFormat(QStringLiteral("%d"));
    chart.horizontal->setTickType(QValueAxis::TicksDynamic);
    chart.value = new QValueAxis(chart.chart);
    chart.value->setObjectName(QString::fromUtf8(info.name) + QStringLiteral("Value"));
    chart.value->setLabelFormat(QStringLiteral("%.6g"));
    chart.value->setTickType(QValueAxis::TicksDynamic);
    chart.chart->addAxis(chart.horizontal, Qt::AlignBottom);
    chart.chart->addAxis(chart.value, Qt::AlignLeft);
    if (info.fixedValueAxis) {
      // The percentages' chart has a fixed scale and no horizontal axis line.
      chart.horizontal->setLineVisible(false);
    }

    for (int s = 0; s < 2 && info.series[s] != nullptr; ++s) {
      auto* series = new QLineSeries(chart.chart);
      series->setName(QString::fromUtf8(info.series[s]));
      series->setColor(s == 0 ? kFirstSeries : kSecondSeries);
      chart.chart->addSeries(series);
      series->attachAxis(chart.horizontal);
      series->attachAxis(chart.value);
      chart.series[s] = series;
    }

    auto* view = new QChartView(chart.chart, client);
    view->setObjectName(QString::fromUtf8(info.name) + QStringLiteral("View"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setGeometry(kChartLeft + info.column * (kChartWidth + kChartGap),
                      kChartTop + info.row * (kChartHeight + kChartGap), kChartWidth, kChartHeight);
  }
  UpdateCharts();

  auto* note = new QLabel(QStringLiteral("All charts show last 60 seconds of data"), client);
  note->setObjectName(QStringLiteral("Label19"));
  QPalette blue = note->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  note->setPalette(blue);
  note->move(kChartLeft, kChartTop + 4 * (kChartHeight + kChartGap) + 4);
  note->adjustSize();
}

void TForm4::UpdateCharts() {
  QList<QPointF> points;
  for (int c = 0; c < kReportChartCount; ++c) {
    const ChartData& data = state_.charts.charts[static_cast<std::size_t>(c)];
    Chart& chart = charts_[static_cast<std::size_t>(c)];
    for (int s = 0; s < data.seriesCount; ++s) {
      const std::vector<double>& values = data.series[s];
      points.clear();
      points.reserve(static_cast<qsizetype>(values.size()));
      for (std::size_t i = 0; i < values.size(); ++i) points.append(QPointF(static_cast<double>(i), values[i]));
      chart.series[s]->replace(points);
    }
    SetAxis(chart.horizontal, HorizontalRange(data));
    SetAxis(chart.value, state_.charts.ValueAxis(static_cast<ReportChart>(c)));
  }
}

void TForm4::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // A window restored by the system is not shown anew.
  if (event->spontaneous()) return;
  // The laid-out size, or the screen's when that is smaller (it scrolls).
  if (QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - (frameGeometry().size() - size());
    resize(std::min(kWindowWidth, room.width()), std::min(kWindowHeight, room.height()));
  }
  CentreOnScreen(this);
  FormShow();
}

void TForm4::closeEvent(QCloseEvent* event) {
  event->accept();
  FormClose();
}

void TForm4::FormShow() {
  session_.User().StopStatusPoll();
  StartPoll();
  StartReporting(session_, state_, RawDataLogPath(dataFolder_));
}

void TForm4::FormClose() {
  StopReporting(state_);
  StopPoll();
  session_.User().StartStatusPoll();
}

void TForm4::StartPoll() {
  timer1_->start();
  button2_->setText(Q(TextOf(199)));
}

void TForm4::StopPoll() {
  timer1_->stop();
  button2_->setText(Q(TextOf(198)));
}

void TForm4::Timer1Timer() { Button1Click(); }

void TForm4::Button1Click() {
  const ReportingPollResult result = PollReporting(session_, state_, timer1_->interval());
  if (result.outcome != ReportOutcome::Shown) return;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i]->setText(Q(result.boxes[i]));
    boxes_[i]->setCursorPosition(0);
  }
  UpdateCharts();
}

void TForm4::Button2Click() {
  if (timer1_->isActive()) {
    StopPoll();
  } else {
    StartPoll();
  }
}

void TForm4::Button3Click() {
  state_.charts.Clear();
  UpdateCharts();
}

void TForm4::Open1Click() { ChooseUserLog(session_.User(), state_.userLog); }
