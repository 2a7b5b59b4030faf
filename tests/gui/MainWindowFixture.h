#pragma once
// A main window over an in-memory channel on COM3 and a virtual clock, with
// the real progress window and the Qt user interface; message boxes are
// answered and recorded instead of shown.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/QtGauge.h"
#include "app/QtUserInterface.h"
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "app/Unit9.h"
#include "tests/support/SessionFixture.h"

class MainWindowFixture : public ::testing::Test {
 protected:
  static constexpr int kPort = FakeSession::kPort;

  MainWindowFixture() {
    SetLanguage(0);
    user.SetMainWindow(&form);
    user.SetProgressWindow(&progress);
    user.SetStatusTimer(form.Timer1());
    user.answerMessage = [this](const Message& message) {
      messages.push_back(message);
      return MessageAnswer::Ok;
    };
  }
  ~MainWindowFixture() override { SetLanguage(0); }

  template <class T>
  T* Find(const char* name) {
    T* found = form.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QAction* Action(const char* name) { return Find<QAction>(name); }
  QString LabelText(const char* name) { return Find<QLabel>(name)->text(); }
  QString EditText(const char* name) { return Find<QLineEdit>(name)->text(); }

  // The sensor answers "A" with these status replies, in order; "" stays silent.
  void AnswerStatus(std::vector<std::string> fields) {
    statusReplies.insert(statusReplies.end(), fields.begin(), fields.end());
    fake->responder = [this](const Written& written) {
      if (written.Text() != "A" || statusReplies.empty()) return std::vector<std::uint8_t>{};
      const std::string next = statusReplies.front();
      statusReplies.pop_front();
      return next.empty() ? std::vector<std::uint8_t>{} : TextReply("A," + next, 26);
    };
  }

  QtUserInterface user;
  // The channel on COM3 answers from `sensor` until a test answers itself.
  FakeSession line{user};
  VirtualClock& clock = line.clock;
  RegisterSensor& sensor = line.sensor;
  FakeChannel* fake = line.channel;
  TForm1 form{line.session};
  TForm3 progress{&form};
  std::vector<Message> messages;
  std::deque<std::string> statusReplies;
};
