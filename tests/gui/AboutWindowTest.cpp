// The About window: layout, the version labels set at every showing, and
// the two links.

#include <QFontInfo>
#include <QTest>
#include <QUrl>

#include "app/QtWindows.h"
#include "app/Unit7.h"
#include "tests/gui/MainWindowFixture.h"

namespace {

class AboutWindowTest : public MainWindowFixture {
 protected:
  AboutWindowTest() {
    WireAboutWindow(form, form7);
    form7.openUrl = [this](const QUrl& url) { opened.push_back(url.toString()); };
  }
  ~AboutWindowTest() override { form7.hide(); }

  void Reopen() {
    form7.hide();
    Action("About1")->trigger();
  }

  TForm7 form7{line.session.Link(), &form};
  QStringList opened;
};

TEST_F(AboutWindowTest, ShowsTheVersionsOfThisMoment) {
  EXPECT_EQ(form7.size(), QSize(405, 144));
  EXPECT_EQ(form7.palette().color(QPalette::Window), QColor(215, 228, 242));
  EXPECT_TRUE(form7.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(form7.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form7.isModal());
  EXPECT_EQ(QFontInfo(form7.lbGUI()->font()).family(), "Tahoma");
  EXPECT_EQ(form7.lbGUI()->font().pixelSize(), 13);

  Action("About1")->trigger();
  ASSERT_TRUE(form7.isVisible());
  EXPECT_EQ(form7.lbGUI()->text(), "GUI-5824.111");
  EXPECT_EQ(form7.lbFW()->text(), "FW-0.000") << "before any identification";
  EXPECT_TRUE(line.Sent().empty()) << "the window does not talk to the sensor";

  LinkState& link = line.session.Link();
  link.m_fwpart = 5819;
  link.m_fwversion = 7;
  EXPECT_EQ(form7.lbFW()->text(), "FW-0.000") << "set when shown, not before";
  Reopen();
  EXPECT_EQ(form7.lbFW()->text(), "FW-5819.007");
  link.m_fwversion = 1234;
  Reopen();
  EXPECT_EQ(form7.lbFW()->text(), "FW-5819.1234");
  for (QLabel* label : {form7.lbGUI(), form7.lbFW()}) {
    EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
  }

  for (int language : {1, 0}) {
    SetLanguage(language);
    form.ApplyLanguage();
    EXPECT_EQ(form7.windowTitle(), QString::fromStdString(TextIn(2, language)));
  }
}

TEST_F(AboutWindowTest, TheLinksShowTheirAddressesWholeAndOpenThem) {
  form7.show();
  struct Link {
    QLabel* label;
    const char* address;
    QRect layout;
  };
  const Link links[] = {
      {form7.Label2(), "https://example.com/", QRect(153, 46, 99, 16)},
      {form7.Label3(), "https://example.com/oil-debris-sensor/", QRect(116, 68, 173, 16)},
  };
  for (const Link& l : links) {
    SCOPED_TRACE(l.address);
    EXPECT_EQ(l.label->text(), l.address);
    EXPECT_EQ(l.label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(l.label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_GE(l.label->width(), l.label->sizeHint().width()) << "not clipped";
    EXPECT_EQ(l.label->y(), l.layout.y());
    EXPECT_LE(std::abs(l.label->geometry().center().x() - l.layout.center().x()), 1) << "centred where laid out";
    EXPECT_TRUE(form7.rect().contains(l.label->geometry()));
    QTest::mouseClick(l.label, Qt::LeftButton);
  }
  EXPECT_EQ(opened, QStringList({"https://example.com/", "https://example.com/oil-debris-sensor/"}));
}

}  // namespace
