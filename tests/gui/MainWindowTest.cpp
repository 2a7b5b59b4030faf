// The main window: its layout, menus, language rows, the brightness items,
// leaving the program and the live status display.

#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <fstream>

#include "link/DebugLog.h"
#include "tests/gui/MainWindowFixture.h"

namespace {

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  struct Place {
    const char* name;
    int left, top, width, height;  // width -1: the label sizes itself to its text
    int points;                    // font size, 0 for pictures
  };
  const Place places[] = {
      {"Label2", 109, 61, 105, 16, 10},      {"Label1", 229, 61, 105, 16, 10},
      {"GaugeCoarse", 109, 83, 105, 82, 28}, {"GaugeFine", 229, 83, 105, 82, 28},
      {"Edit2", 109, 83, 105, 82, 16},       {"Edit4", 229, 83, 105, 82, 16},
      {"Label3", 109, 187, -1, 16, 10},      {"Label4", 229, 187, 105, 16, 10},
      {"Edit3", 109, 209, 105, 53, 28},      {"Edit1", 229, 209, 105, 53, 28},
      {"lbErrors", 125, 281, -1, 16, 10},    {"lbComms", 241, 281, -1, 16, 10},
      {"Image2", 8, 8, 206, 57, 0},          {"Image3", 16, 296, 81, 49, 0},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    QWidget* control = Find<QWidget>(p.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parentWidget(), form.centralWidget());
    EXPECT_EQ(control->pos(), QPoint(p.left, p.top));
    if (p.width >= 0) {
      EXPECT_EQ(control->size(), QSize(p.width, p.height));
    } else {
      // Sized to its text, on the laid-out height (the baseline of its neighbours).
      EXPECT_EQ(control->height(), p.height);
      EXPECT_GE(control->width(), static_cast<QLabel*>(control)->sizeHint().width());
    }
    if (p.points > 0) {
      EXPECT_EQ(QFontInfo(control->font()).family(), QStringLiteral("Tahoma"));
      EXPECT_EQ(control->font().pointSize(), p.points);
    }
  }
  form.layout()->activate();
  EXPECT_EQ(form.centralWidget()->size(), QSize(449, 369));
  EXPECT_EQ(form.centralWidget()->y(), form.menuBar()->height());
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.centralWidget()->palette().color(QPalette::Window), QColor(215, 228, 242));
  EXPECT_EQ(QFontInfo(form.font()).family(), QStringLiteral("Tahoma"));
  EXPECT_EQ(form.font().pointSize(), 8);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Oil Sensor Sensor Configurator"));

  // What the window shows before the first reply: the "DISABLED" boxes, and
  // no gauge corner around them.
  EXPECT_FALSE(Find<QWidget>("GaugeCoarse")->isVisibleTo(&form));
  EXPECT_FALSE(Find<QWidget>("GaugeFine")->isVisibleTo(&form));
  EXPECT_EQ(EditText("Edit2"), "DISABLED");
  EXPECT_EQ(EditText("Edit4"), "DISABLED");
  EXPECT_EQ(EditText("Edit3"), "1000");
  EXPECT_EQ(EditText("Edit1"), "20");
  EXPECT_TRUE(Find<QLineEdit>("Edit1")->alignment() & Qt::AlignRight);
  EXPECT_EQ(LabelText("lbComms"), "COMMS FAIL");
  EXPECT_FALSE(Find<QLabel>("Image2")->pixmap().isNull());
  EXPECT_FALSE(Find<QLabel>("Image3")->pixmap().isNull());
  for (const char* box : {"Edit1", "Edit2", "Edit3", "Edit4"}) {
    SCOPED_TRACE(box);
    EXPECT_TRUE(Find<QLineEdit>(box)->isReadOnly());
    EXPECT_FALSE(Find<QLineEdit>(box)->focusPolicy() & Qt::TabFocus);
  }
  EXPECT_FALSE(form.Timer1()->isActive());
  EXPECT_EQ(form.Timer1()->interval(), 200);
}

TEST_F(MainWindowTest, TheMenuHoldsEveryItemInOrder) {
  auto texts = [](QMenu* menu) {
    QStringList list;
    for (QAction* action : menu->actions()) list << action->text();
    return list;
  };
  QMenu* sensor = Find<QMenu>("Configure1");
  EXPECT_EQ(texts(sensor), QStringList({"Configure", "Reporting", "Brightness", "Import", "Export",
                                        "Restore Factory Defaults", "Exit"}));
  EXPECT_EQ(texts(Find<QMenu>("Brightness1")), QStringList({"Max", "75%", "50%", "25%", "Min", "Off"}));
  EXPECT_EQ(texts(Find<QMenu>("RestoreFactoryDefaults1")), QStringList({"Small", "Medium", "Large"}));
  EXPECT_EQ(texts(Find<QMenu>("Help1")), QStringList({"Sensor Upgrade", "About"}));
  for (QAction* item : form.menuBar()->actions()) EXPECT_TRUE(item->isVisible());
}

TEST_F(MainWindowTest, BrightnessSendsItsCommandAndKeepsOneMark) {
  const std::pair<const char*, const char*> items[] = {
      {"Max1", "h 64"}, {"N751", "h 4B"}, {"N501", "h 32"}, {"N251", "h 19"}, {"Min1", "h 5"}, {"Off1", "h 0"},
  };
  for (const auto& [item, command] : items) EXPECT_FALSE(Action(item)->isChecked()) << item;
  for (const auto& [item, command] : items) {
    SCOPED_TRACE(item);
    fake->writes.clear();
    Action(item)->trigger();
    ASSERT_EQ(fake->Texts(), std::vector<std::string>({command}));
    for (const auto& [other, unused] : items) EXPECT_EQ(Action(other)->isChecked(), other == item) << other;
  }
  // Choosing the marked item again keeps its mark.
  Action("Off1")->trigger();
  EXPECT_TRUE(Action("Off1")->isChecked());
  // The exact bytes of one request.
  fake->writes.clear();
  Action("N751")->trigger();
  EXPECT_EQ(fake->writes.at(0).bytes, std::vector<std::uint8_t>({0x02, 'h', ' ', '4', 'B', 0x0D}));
}

// What the mouse shows: the busy cursor while an exchange the user started
// blocks the window, nothing of its own during a poll tick, and the arrow
// over a dialog or a message shown in the middle of an exchange.
TEST_F(MainWindowTest, TheBusyCursorShowsOnlyWhileAUserExchangeWaitsForTheSensor) {
  const auto shape = [] {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor == nullptr ? -1 : static_cast<int>(cursor->shape());
  };
  std::vector<int> atWrites;
  fake->responder = [&](const Written&) {
    atWrites.push_back(shape());
    return std::vector<std::uint8_t>{};
  };
  Action("Max1")->trigger();
  form.Timer1Timer();
  EXPECT_EQ(atWrites, (std::vector<int>{Qt::WaitCursor, -1}));
  EXPECT_EQ(shape(), -1);

  std::vector<int> atDialogs;
  user.answerFileChoice = [&](const std::string&, const std::string&, bool) -> std::optional<std::string> {
    atDialogs.push_back(shape());
    return "/nonexistent-folder/sensor.dsc";
  };
  user.answerMessage = [&](const Message&) {
    atDialogs.push_back(shape());
    return MessageAnswer::Ok;
  };
  Action("Load1")->trigger();
  ASSERT_FALSE(atDialogs.empty());
  for (const int atDialog : atDialogs) EXPECT_EQ(atDialog, Qt::ArrowCursor);
  EXPECT_EQ(shape(), -1);
}

TEST_F(MainWindowTest, ExitSendsTheEmptyCommandOnceAndClosesTheLog) {
  const std::string log = ::testing::TempDir() + "main-window-exit.log";
  ASSERT_TRUE(form.Link().m_debuglog.Open(log));
  const std::string firmware = ::testing::TempDir() + "main-window-exit.hex";
  std::ofstream(firmware) << ":0400000001020304F2\n:00000001FF\n";
  ASSERT_EQ(form.FirmwareFile().Open(firmware), HexOpenResult::Opened);
  int closed = 0;
  QObject::connect(&form, &TForm1::Closed, [&] { ++closed; });
  form.Timer1()->start();

  Action("Exit1")->trigger();
  form.close();
  ASSERT_EQ(fake->writes.size(), 1u);
  EXPECT_EQ(fake->writes[0].bytes, std::vector<std::uint8_t>({0x02, 0x0D}));
  EXPECT_FALSE(form.Timer1()->isActive());
  EXPECT_FALSE(form.Link().m_debuglog.IsOpen());
  EXPECT_FALSE(form.FirmwareFile().IsOpen());
  EXPECT_EQ(closed, 1);
  std::remove(log.c_str());
}

TEST_F(MainWindowTest, ClosingWithoutAChosenPortSendsNothing) {
  form.Link().m_comnum = kNoPort;
  form.close();
  EXPECT_TRUE(fake->writes.empty());
}

TEST_F(MainWindowTest, LanguageRowsFollowTheChosenLanguage) {
  int applied = 0;
  form.AddLanguageApplier([&] { ++applied; });
  struct Row {
    const char* name;
    bool menu;  // a sub-menu's title rather than an item's text
    int entry;  // -1: keeps its layout text
    const char* layout;
  };
  const Row rows[] = {
      {"Configure1", true, 3, ""},   {"EEPROM1", false, 4, ""},    {"Graphic1", false, -1, "Reporting"},
      {"Brightness1", true, 10, ""}, {"Max1", false, 11, ""},      {"N751", false, -1, "75%"},
      {"N501", false, -1, "50%"},    {"N251", false, -1, "25%"},   {"Min1", false, 15, ""},
      {"Off1", false, 16, ""},       {"Load1", false, 20, ""},     {"Save1", false, 21, ""},
      {"RestoreFactoryDefaults1", true, 22, ""}, {"Small1", false, 23, ""}, {"Medium1", false, 24, ""},
      {"Large1", false, 25, ""},     {"Exit1", false, 26, ""},     {"Help1", true, 34, ""},
      {"SensorUpgrade1", false, 35, ""}, {"About1", false, 36, ""},
  };
  for (int language : {1, 0}) {
    SCOPED_TRACE(language);
    SetLanguage(language);
    form.ApplyLanguage();
    EXPECT_EQ(form.windowTitle(), QString::fromStdString(TextIn(2, language) + " 5819-100"));
    EXPECT_EQ(LabelText("Label2"), QString::fromStdString(TextIn(37, language)));
    EXPECT_EQ(LabelText("Label1"), QString::fromStdString(TextIn(38, language)));
    EXPECT_EQ(LabelText("Label3"), QString::fromStdString(TextIn(39, language)));
    EXPECT_EQ(LabelText("Label4"), QString::fromStdString(TextIn(40, language)));
    EXPECT_EQ(LabelText("lbErrors"), QString::fromStdString(TextIn(41, language)));
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      const QString text = row.menu ? Find<QMenu>(row.name)->title() : Action(row.name)->text();
      EXPECT_EQ(text, row.entry >= 0 ? QString::fromStdString(TextIn(row.entry, language))
                                     : QString::fromUtf8(row.layout));
    }
  }
  EXPECT_EQ(LabelText("Label3"), "Water Contamination");
  EXPECT_EQ(Find<QLabel>("Label3")->width(), Find<QLabel>("Label3")->sizeHint().width());
  EXPECT_EQ(applied, 2);
}

TEST_F(MainWindowTest, TheFeaturesRefreshShowsAndHidesMenuEntries) {
  form.SetReportingMenuVisible(false);
  form.SetBrightnessMenuVisible(false);
  EXPECT_FALSE(Action("Graphic1")->isVisible());
  EXPECT_FALSE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
  form.SetBrightnessMenuVisible(true);
  EXPECT_TRUE(Find<QMenu>("Brightness1")->menuAction()->isVisible());
}

TEST_F(MainWindowTest, AGoodReplyFillsTheDisplay) {
  std::uint16_t& features = line.session.Config().FeaturesWord;
  features = 0x0800;
  AnswerStatus({"32,64,400,190,0", "5,6,400,FFB0,3"});
  form.Timer1()->start();
  form.Timer1Timer();

  auto* coarse = Find<QtGauge>("GaugeCoarse");
  auto* fine = Find<QtGauge>("GaugeFine");
  EXPECT_EQ(coarse->Progress(), 50);
  EXPECT_EQ(coarse->ForeColor(), QColor(255, 255, 0));
  EXPECT_EQ(fine->Progress(), 100);
  EXPECT_EQ(fine->Text(), "100%");
  EXPECT_EQ(fine->ForeColor(), QColor(255, 0, 0));
  EXPECT_FALSE(coarse->isHidden());
  EXPECT_TRUE(Find<QLineEdit>("Edit2")->isHidden());
  EXPECT_TRUE(Find<QLineEdit>("Edit4")->isHidden());
  auto* oil = Find<QLineEdit>("Edit3");
  auto* temperature = Find<QLineEdit>("Edit1");
  EXPECT_EQ(oil->text(), "1000");
  EXPECT_EQ(oil->palette().color(QPalette::Base), QColor(0, 128, 0));
  EXPECT_EQ(oil->font().pointSize(), 28);
  EXPECT_TRUE(oil->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(temperature->text(), QString::fromUtf8("25\u00B0C"));
  EXPECT_TRUE(temperature->alignment() & Qt::AlignHCenter);
  EXPECT_EQ(LabelText("lbErrors"), "Status:Ok");
  EXPECT_EQ(LabelText("lbComms"), "Comms:Ok");
  EXPECT_EQ(form.Timer1()->interval(), 500);

  // The coarse channel disabled and a temperature-only third channel.
  features = 0x0008 | 0x0004;
  form.Timer1Timer();
  EXPECT_TRUE(coarse->isHidden());
  EXPECT_FALSE(Find<QLineEdit>("Edit2")->isHidden());
  EXPECT_FALSE(Find<QLineEdit>("Edit2")->isEnabled());
  EXPECT_EQ(oil->text(), "DISABLED");
  EXPECT_FALSE(oil->isEnabled());
  EXPECT_EQ(oil->font().pointSize(), 16);
  EXPECT_EQ(oil->palette().color(QPalette::Base), QApplication::palette(oil).color(QPalette::Base));
  EXPECT_EQ(temperature->text(), QString::fromUtf8("-5\u00B0C"));
  EXPECT_EQ(temperature->palette().color(QPalette::Base), QColor(255, 0, 0));
  EXPECT_EQ(LabelText("lbErrors"), "Status:03");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, TheSixthFailureStopsThePollWithOneMessage) {
  AnswerStatus({"", "", "", "", "", "", "", "1,2,400,190,0"});
  form.Timer1()->start();
  for (int i = 0; i < 6; ++i) form.Timer1Timer();
  EXPECT_FALSE(form.Timer1()->isActive());
  EXPECT_EQ(form.Timer1()->interval(), 1000);
  EXPECT_EQ(LabelText("lbComms"), "Comms:Fail");
  EXPECT_EQ(LabelText("lbErrors"), "Status");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].entry, 125);

  // Another window restarts the poll: it runs at 1000 ms and the next failure
  // stops it again with the message.
  user.StartStatusPoll();
  EXPECT_TRUE(form.Timer1()->isActive());
  EXPECT_EQ(form.Timer1()->interval(), 1000);
  form.Timer1Timer();
  EXPECT_FALSE(form.Timer1()->isActive());
  EXPECT_EQ(messages.size(), 2u);

  // A good reply brings it back to 500 ms.
  user.StartStatusPoll();
  form.Timer1Timer();
  EXPECT_TRUE(form.Timer1()->isActive());
  EXPECT_EQ(form.Timer1()->interval(), 500);
  EXPECT_EQ(LabelText("lbComms"), "Comms:Ok");
}

}  // namespace
