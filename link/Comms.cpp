#include "link/Comms.h"

#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "app/QtLook.h"
#include "ui_Comms.h"

TFrmComms::TFrmComms(QWidget* parent) : QDialog(parent), ui_(new Ui::TFrmComms) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(201, 161);
  connect(ui_->SetComms, &QPushButton::clicked, this, &TFrmComms::SetCommsClick);
}

TFrmComms::~TFrmComms() { delete ui_; }

QListWidget* TFrmComms::Comport() const { return ui_->Comport; }
QPushButton* TFrmComms::SetComms() const { return ui_->SetComms; }

std::optional<int> TFrmComms::ChoosePort(const std::vector<int>& openPorts, const PortMap& ports) {
  FormShow(openPorts, ports);
  CentreOnScreen(this);
  if (exec() != QDialog::Accepted) return std::nullopt;
  return selectedPort_;
}

void TFrmComms::FormShow(const std::vector<int>& openPorts, const PortMap& ports) {
  ui_->Comport->clear();
  std::vector<int> sorted = openPorts;
  std::sort(sorted.begin(), sorted.end());
  for (int port : sorted) {
    // The list is narrow: an adapter's whole name is in the entry's tool tip.
    const QString entry = QString::fromStdString(ports.Describe(port));
    ui_->Comport->addItem(entry);
    ui_->Comport->item(ui_->Comport->count() - 1)->setToolTip(entry);
  }
  selectedPort_ = 1;
}

void TFrmComms::SetCommsClick() {
  const QList<QListWidgetItem*> selected = ui_->Comport->selectedItems();
  if (selected.isEmpty()) return;
  // "COM03  /dev/ttyUSB0": the number after the first three characters.
  const QString text = selected.front()->text().mid(3);
  int number = 0;
  int i = 0;
  while (i < text.size() && text[i].isDigit() && number < 1000) number = number * 10 + text[i++].digitValue();
  selectedPort_ = number;
  accept();
}
