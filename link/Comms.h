#pragma once
// TFrmComms, "Select Port": lists the ports that opened but did not answer
// the identify command and lets the user pick the sensor's. Only "Set" with
// an entry selected closes it with a port; the close box cancels.

#include <QDialog>
#include <optional>
#include <vector>

#include "link/PortMap.h"

namespace Ui {
class TFrmComms;
}
class QListWidget;
class QPushButton;

class TFrmComms : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmComms(QWidget* parent = nullptr);
  ~TFrmComms() override;

  // Shows the dialog modally over the open ports; the chosen port, or no
  // value when it was closed without "Set".
  std::optional<int> ChoosePort(const std::vector<int>& openPorts, const PortMap& ports);

  // The port number read from the entry chosen with "Set".
  int SelectedPort() const { return selectedPort_; }

  QListWidget* Comport() const;
  QPushButton* SetComms() const;

 public slots:
  // Lists "COM%02d  device" for every open port, in increasing order.
  void FormShow(const std::vector<int>& openPorts, const PortMap& ports);
  void SetCommsClick();

 private:
  Ui::TFrmComms* ui_;
  int selectedPort_ = 1;
};
