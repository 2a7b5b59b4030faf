#include "app/OwnTexts.h"

#include "app/Unit9.h"

namespace {

struct OwnEntry {
  const char* english;
  const char* chinese;
};

// "%s" stands for the device.
const OwnEntry& EntryOf(OwnText text) {
  static const OwnEntry kPermission = {
      "The serial device %s may not be opened by your user. Join the dialout group "
      "(sudo adduser $USER dialout), then log out and in again.",
      "您的用户无权打开串口设备 %s。请加入 dialout 组（sudo adduser $USER dialout），然后注销并重新登录。"};
  static const OwnEntry kBusy = {
      "The serial device %s is held by another program. Close that program, then restart the configurator.",
      "串口设备 %s 正被其他程序占用。请关闭该程序，然后重新启动配置器。"};
  return text == OwnText::PermissionDenied ? kPermission : kBusy;
}

}  // namespace

std::string OwnTextOf(OwnText text, const std::string& device) {
  const OwnEntry& entry = EntryOf(text);
  std::string result = CurrentLanguage() == 1 ? entry.chinese : entry.english;
  const std::size_t at = result.find("%s");
  if (at != std::string::npos) result.replace(at, 2, device);
  return result;
}

std::string RefusalAdvice(const std::vector<PortRefusal>& refusals) {
  std::string advice;
  for (const PortRefusal& r : refusals) {
    if (r.error == OpenError::PermissionDenied) advice += "\n\n" + OwnTextOf(OwnText::PermissionDenied, r.device);
    if (r.error == OpenError::HeldByAnotherProgram) {
      advice += "\n\n" + OwnTextOf(OwnText::HeldByAnotherProgram, r.device);
    }
  }
  return advice;
}
