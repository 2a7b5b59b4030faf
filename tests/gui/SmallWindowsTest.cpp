// The language window, the port dialog, the progress window and the Qt
// user interface's message boxes and file filters.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/QtUserInterface.h"
#include "app/Unit3.h"
#include "app/Unit8.h"
#include "app/Unit9.h"
#include "link/Comms.h"

namespace {

QStringList Items(QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

TEST(LanguageWindowTest, EachSelectionSetsTheLanguageAndBothWaysOutKeepIt) {
  SetLanguage(0);
  TForm8 window;
  EXPECT_EQ(window.size(), QSize(217, 111));
  EXPECT_EQ(window.windowTitle(), "Select Language");
  EXPECT_EQ(window.ComboBox1()->geometry(), QRect(56, 16, 105, 26));
  EXPECT_EQ(window.ComboBox1()->font().pixelSize(), 18);
  EXPECT_EQ(window.Button1()->geometry(), QRect(72, 64, 75, 25));
  EXPECT_EQ(window.Button1()->text(), "OK");

  window.show();
  EXPECT_EQ(Items(window.ComboBox1()), QStringList({"English", QString::fromUtf8("中文")}));
  EXPECT_EQ(window.ComboBox1()->currentText(), "English");
  EXPECT_EQ(CurrentLanguage(), 0);

  window.ComboBox1()->setCurrentIndex(1);
  EXPECT_EQ(CurrentLanguage(), 1);
  window.ComboBox1()->setCurrentIndex(0);
  EXPECT_EQ(CurrentLanguage(), 0);
  window.ComboBox1()->setCurrentIndex(1);
  window.Button1()->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(CurrentLanguage(), 1);

  // Return confirms the choice.
  window.show();
  window.ComboBox1()->setCurrentIndex(1);
  QTest::keyClick(window.ComboBox1(), Qt::Key_Return);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);

  // Shown again (the list is not doubled, the language starts in English),
  // then left through the close box.
  window.show();
  EXPECT_EQ(window.ComboBox1()->count(), 2);
  EXPECT_EQ(CurrentLanguage(), 0);
  window.ComboBox1()->setCurrentIndex(1);
  window.close();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(CurrentLanguage(), 1);
  SetLanguage(0);
}

TEST(PortDialogTest, ListsTheOpenPortsAndReadsTheChosenNumber) {
  const PortMap ports = PortMap::FromEntries({{1, "/dev/ttyUSB0"}, {2, "/dev/ttyUSB1"}, {12, "/dev/ttyS0"}});
  TFrmComms dialog;
  EXPECT_EQ(dialog.size(), QSize(201, 161));
  EXPECT_EQ(dialog.windowTitle(), "Select Port");
  EXPECT_EQ(dialog.Comport()->geometry(), QRect(0, 0, 200, 121));
  EXPECT_EQ(dialog.SetComms()->geometry(), QRect(0, 128, 201, 33));
  EXPECT_EQ(dialog.SetComms()->text(), "Set");

  // "Set" with nothing selected leaves the dialog open; then COM02 is chosen.
  std::vector<QStringList> listed;
  bool openAfterEmptySet = false;
  QTimer::singleShot(0, &dialog, [&] {
    QStringList entries;
    for (int i = 0; i < dialog.Comport()->count(); ++i) entries << dialog.Comport()->item(i)->text();
    listed.push_back(entries);
    dialog.SetComms()->click();
    openAfterEmptySet = dialog.isVisible();
    dialog.Comport()->setCurrentRow(1);
    dialog.SetComms()->click();
  });
  EXPECT_EQ(dialog.ChoosePort({12, 1, 2}, ports), std::optional<int>(2));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0], QStringList({"COM01  /dev/ttyUSB0", "COM02  /dev/ttyUSB1", "COM12  /dev/ttyS0"}));
  EXPECT_TRUE(openAfterEmptySet);

  QTimer::singleShot(0, &dialog, [&] {
    dialog.Comport()->setCurrentRow(2);
    dialog.SetComms()->click();
  });
  EXPECT_EQ(dialog.ChoosePort({1, 2, 12}, ports), std::optional<int>(12));

  // The close box cancels, whatever is selected.
  QTimer::singleShot(0, &dialog, [&] {
    dialog.Comport()->setCurrentRow(0);
    dialog.close();
  });
  EXPECT_EQ(dialog.ChoosePort({1, 2}, ports), std::nullopt);
}

TEST(ProgressWindowTest, LaidOutAndOnlyHiddenByItsCloseBox) {
  TForm3 window;
  EXPECT_EQ(window.size(), QSize(346, 34));
  EXPECT_EQ(window.ProgressBar1()->geometry(), QRect(8, 8, 330, 17));
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(215, 228, 242));
  EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);

  window.SetTitle(QString::fromStdString(TextOf(124)));
  window.SetPosition(0);
  window.SetMaximum(2);
  window.ShowProgress();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "Identifying firmware");
  for (int i = 0; i < 3; ++i) window.Step();
  EXPECT_EQ(window.ProgressBar1()->value(), 2);  // stops at the maximum
  window.close();
  EXPECT_FALSE(window.isVisible());
  window.Step();  // the operation goes on while the window is hidden
  window.SetMaximum(0);
  EXPECT_GT(window.ProgressBar1()->maximum(), 0);  // an empty bar, never a busy indicator
  EXPECT_EQ(window.ProgressBar1()->value(), 0);
}

TEST(QtUserInterfaceTest, MessageBoxesHaveTheirButtonsAndNoIcon) {
  struct Case {
    MessageButtons buttons;
    QMessageBox::StandardButtons expected;
  };
  const Case cases[] = {
      {MessageButtons::Ok, QMessageBox::Ok},
      {MessageButtons::YesNo, QMessageBox::Yes | QMessageBox::No},
      {MessageButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel},
  };
  for (const Case& c : cases) {
    Message message = ErrorMessage(176, TextOf(176));
    message.buttons = c.buttons;
    std::unique_ptr<QMessageBox> box(QtUserInterface::BuildMessageBox(message, nullptr));
    EXPECT_EQ(box->standardButtons(), c.expected);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowTitle(), "Error");
    EXPECT_EQ(box->text(), "Message failed");
  }
}

TEST(QtUserInterfaceTest, ShownMessagesAnswerWithTheButtonPressed) {
  QtUserInterface user;
  Message question;
  question.title = 157;
  question.entry = 156;
  question.text = TextOf(156);
  question.buttons = MessageButtons::YesNo;
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Confirmation");
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(user.ShowMessage(question), MessageAnswer::No);
}

TEST(QtUserInterfaceTest, FileFiltersBecomeDialogFilters) {
  const std::pair<const char*, const char*> cases[] = {
      {"Config files|*.dsc", "Config files (*.dsc)"},
      {"Config files (*.dsc)|*.dsc", "Config files (*.dsc)"},
      {"Hex files (*.hex)|*.hex", "Hex files (*.hex)"},
      {"Hex files|*.hex|All files|*.*", "Hex files (*.hex);;All files (*.*)"},
      {"Logs|*.csv;*.txt", "Logs (*.csv *.txt)"},
      {"", ""},
  };
  for (const auto& [filter, expected] : cases) {
    EXPECT_EQ(QtUserInterface::FileDialogFilter(filter), QString::fromUtf8(expected)) << filter;
  }
}

}  // namespace
