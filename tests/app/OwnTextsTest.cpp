// The configurator's own texts: the advice the no-port message gets for
// devices refused for permission or held by another program, in both
// languages.
#include <gtest/gtest.h>

#include "app/OwnTexts.h"
#include "app/Unit9.h"

namespace {

TEST(OwnTexts, AdviceNamesTheDeviceInTheChosenLanguage) {
  const std::vector<PortRefusal> refusals = {
      {1, "/dev/ttyUSB0", OpenError::PermissionDenied, "Permission denied"},
      {2, "/dev/ttyUSB1", OpenError::NoSuchDevice, "No such file or directory"},
      {3, "/dev/ttyACM0", OpenError::HeldByAnotherProgram, "Device or resource busy"},
  };
  SetLanguage(0);
  EXPECT_EQ(RefusalAdvice(refusals),
            "\n\nThe serial device /dev/ttyUSB0 may not be opened by your user. Join the dialout group "
            "(sudo adduser $USER dialout), then log out and in again."
            "\n\nThe serial device /dev/ttyACM0 is held by another program. Close that program, then restart "
            "the configurator.");
  SetLanguage(1);
  EXPECT_EQ(RefusalAdvice(refusals),
            "\n\n您的用户无权打开串口设备 /dev/ttyUSB0。请加入 dialout 组（sudo adduser $USER dialout），然后注销并重新登录。"
            "\n\n串口设备 /dev/ttyACM0 正被其他程序占用。请关闭该程序，然后重新启动配置器。");
  SetLanguage(0);
  EXPECT_EQ(RefusalAdvice({refusals[1]}), "") << "nothing the user could do";
}

TEST(PortRefusal, DescribesEachReasonInWords) {
  EXPECT_EQ(DescribeRefusal({3, "/dev/ttyUSB0", OpenError::HeldByAnotherProgram, ""}),
            "COM03 /dev/ttyUSB0: busy: held by another program");
  EXPECT_EQ(DescribeRefusal({12, "/dev/ttyS0", OpenError::NoSuchDevice, ""}), "COM12 /dev/ttyS0: no such device");
  EXPECT_EQ(DescribeRefusal({1, "/dev/ttyACM0", OpenError::LineSettings, "Invalid argument"}),
            "COM01 /dev/ttyACM0: cannot set the line: Invalid argument");
}

}  // namespace
