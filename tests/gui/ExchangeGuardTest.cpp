// One exchange at a time: a tick, a menu click and a close that arrive while
// an exchange lets pending events run must not cut into it.

#include <QMenu>
#include <QMetaObject>

#include "tests/gui/MainWindowFixture.h"

namespace {

using ExchangeGuardTest = MainWindowFixture;

TEST_F(ExchangeGuardTest, EventsDuringAnIdentifyWaitNeitherSendNorClose) {
  // The sensor answers the second "I".
  int identifyRequests = 0;
  fake->responder = [&](const Written& written) {
    if (written.Text() == "I" && ++identifyRequests == 2) return TextReply("I,1c,2f", 17);
    return std::vector<std::uint8_t>{};
  };
  int closed = 0;
  QObject::connect(&form, &TForm1::Closed, [&] { ++closed; });
  form.Timer1()->start();

  // Queued now, delivered when the identify lets events run after its first attempt.
  bool itemsEnabledDuring = true;
  bool closedDuring = true;
  QMetaObject::invokeMethod(&form, "Timer1Timer", Qt::QueuedConnection);
  QMetaObject::invokeMethod(&form, "Max1Click", Qt::QueuedConnection);
  QMetaObject::invokeMethod(Action("N501"), "trigger", Qt::QueuedConnection);
  QMetaObject::invokeMethod(&form, "close", Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      &form,
      [&] {
        itemsEnabledDuring = Action("Max1")->isEnabled() || Action("EEPROM1")->isEnabled() ||
                             Action("SensorUpgrade1")->isEnabled();
        closedDuring = closed > 0;
      },
      Qt::QueuedConnection);

  std::vector<std::string> sentDuring;
  bool identified = false;
  const bool ran = form.RunExchange([&] {
    identified = form.Exchange().IdentifySensor(3);
    sentDuring = fake->Texts();
  });

  EXPECT_TRUE(ran);
  EXPECT_TRUE(identified);
  EXPECT_EQ(sentDuring, std::vector<std::string>({"I", "I"}));
  EXPECT_FALSE(itemsEnabledDuring);
  EXPECT_FALSE(closedDuring);
  // The close was held back and done as the exchange ended.
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(fake->Texts(), std::vector<std::string>({"I", "I", ""}));
  EXPECT_FALSE(Action("Max1")->isChecked());
  EXPECT_FALSE(Action("N501")->isChecked());
  EXPECT_FALSE(form.ExchangeInProgress());
  EXPECT_TRUE(Action("Max1")->isEnabled());
}

TEST_F(ExchangeGuardTest, MenuActionsRunAsExchangesAndAreRefusedDuringOne) {
  std::vector<std::string> ran;
  form.hooks.configure = [&] { ran.push_back(form.ExchangeInProgress() ? "configure in exchange" : "configure"); };
  form.hooks.about = [&] { ran.push_back("about"); };
  // Yes to restoring the defaults, no to Zero/Tare.
  std::deque<MessageAnswer> answers = {MessageAnswer::Yes, MessageAnswer::No};
  user.answerMessage = [&](const Message&) {
    const MessageAnswer answer = answers.empty() ? MessageAnswer::Ok : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  };

  Action("EEPROM1")->trigger();
  Action("Medium1")->trigger();
  EXPECT_EQ(fake->Texts(), std::vector<std::string>({"", "U 5E2B", "D 2", "R 001e 02"}));
  fake->writes.clear();
  form.RunExchange([&] {
    form.EEPROM1Click();
    form.Large1Click();
    form.Load1Click();
    form.Save1Click();
    form.About1Click();  // the About window does not talk to the sensor
  });
  EXPECT_EQ(ran, std::vector<std::string>({"configure in exchange", "about"}));
  EXPECT_TRUE(fake->writes.empty());
}

TEST_F(ExchangeGuardTest, AnExchangeThatThrowsStillReleasesTheGuard) {
  EXPECT_THROW(form.RunExchange([] { throw std::runtime_error("lost"); }), std::runtime_error);
  EXPECT_FALSE(form.ExchangeInProgress());
  EXPECT_TRUE(Action("Load1")->isEnabled());
  AnswerStatus({"1,2,3,4,0"});
  form.Timer1Timer();
  EXPECT_EQ(fake->Texts(), std::vector<std::string>({"A"}));
}

}  // namespace
