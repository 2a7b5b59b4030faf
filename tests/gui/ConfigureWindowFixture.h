#pragma once
// The configure window offscreen over a fake channel whose sensor answers
// from a register memory, with a scripted user; "a" gets `liveReply`.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <string>
#include <vector>

#include "app/Unit9.h"
#include "config/Unit2.h"
#include "tests/support/SessionFixture.h"

class ConfigureWindowFixture : public ::testing::Test {
 protected:
  ConfigureWindowFixture() {
    sensor.SetOtherwise([this](const std::string& request) { return request == "a" ? liveReply : std::string(); });
    form.ApplyLanguage();
  }

  ~ConfigureWindowFixture() override {
    form.hide();
    SetLanguage(0);
  }

  void Open(std::uint16_t features) {
    sensor.Set16(0x001E, features);
    form.show();
  }

  std::vector<std::string> Sent() {
    std::vector<std::string> texts = line->Texts();
    line->writes.clear();
    return texts;
  }

  template <typename T = QWidget>
  T* Child(const char* name) {
    T* found = form.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  QTabWidget* Pages() { return Child<QTabWidget>("PageControl1"); }
  void SelectPage(const char* name) { Pages()->setCurrentWidget(Child(name)); }
  bool PageShown(const char* name) { return Pages()->isTabVisible(Pages()->indexOf(Child(name))); }
  QString TabTitle(const char* name) { return Pages()->tabText(Pages()->indexOf(Child(name))); }
  // Shown once its page is selected (pages not selected hide their controls).
  bool Shown(const char* name) { return !Child(name)->isHidden(); }
  QString Text(const char* name) { return Child<QLineEdit>(name)->text(); }
  void LiveTick() { QMetaObject::invokeMethod(Child<QTimer>("Timer1"), "timeout"); }

  // The sensor's answer to "a".
  void LiveReply(const std::vector<std::uint8_t>& bytes) { liveReply.assign(bytes.begin(), bytes.end()); }

  ScriptedUser user;
  FakeSession fake{user};
  RegisterSensor& sensor = fake.sensor;
  FakeChannel* line = fake.channel;
  LinkState& link = fake.session.Link();
  std::string liveReply;
  TForm2 form{fake.session};
};
