#include "app/QtUserInterface.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "app/QtLook.h"
#include "app/Unit3.h"
#include "app/Unit9.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

QMessageBox* QtUserInterface::BuildMessageBox(const Message& message, QWidget* parent) {
  auto* box = new QMessageBox(parent);
  box->setIcon(QMessageBox::NoIcon);
  box->setWindowTitle(Q(TextOf(message.title)));
  box->setText(Q(message.text));
  box->setTextFormat(Qt::PlainText);
  switch (message.buttons) {
    case MessageButtons::Ok:
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case MessageButtons::OkCancel:
      box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
  }
  return box;
}

MessageAnswer QtUserInterface::ShowMessage(const Message& message) {
  const NormalCursor normal;
  if (answerMessage) return answerMessage(message);
  std::unique_ptr<QMessageBox> box(BuildMessageBox(message, mainWindow_));
  box->exec();
  switch (box->standardButton(box->clickedButton())) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    default:
      break;
  }
  // Closed with the close box or Escape: the box's escape answer.
  switch (message.buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
  }
  return MessageAnswer::Cancel;
}

void QtUserInterface::ProgressTitle(int entry) {
  if (progress_ != nullptr) progress_->SetTitle(Q(TextOf(entry)));
}

void QtUserInterface::ProgressMaximum(int maximum) {
  if (progress_ != nullptr) progress_->SetMaximum(maximum);
}

void QtUserInterface::ProgressPosition(int position) {
  if (progress_ != nullptr) progress_->SetPosition(position);
}

void QtUserInterface::ProgressStep() {
  if (progress_ != nullptr) progress_->Step();
}

void QtUserInterface::ProgressShow() {
  if (progress_ != nullptr) progress_->ShowProgress();
}

void QtUserInterface::ProgressClose() {
  if (progress_ != nullptr) progress_->CloseProgress();
}

void QtUserInterface::ProcessEvents() { QCoreApplication::processEvents(); }

void QtUserInterface::SetMainCaption(const std::string& caption) {
  if (mainWindow_ != nullptr) mainWindow_->setWindowTitle(Q(caption));
}

QString QtUserInterface::FileDialogFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    // The patterns of one entry are separated by ";" in the system's filters.
    const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    const QString shown = QStringLiteral("(") + patterns + QLatin1Char(')');
    // A description that already names its patterns is kept as it is.
    filters << (parts[i].trimmed().endsWith(shown) ? parts[i].trimmed() : parts[i] + QLatin1Char(' ') + shown);
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
  return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtUserInterface::ChooseOpenFile(const std::string& filter) {
  const NormalCursor normal;
  if (answerFileChoice) return answerFileChoice(filter, "", false);
  QFileDialog dialog(mainWindow_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(FileDialogFilter(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtUserInterface::ChooseSaveFile(const std::string& filter,
                                                           const std::string& defaultExtension) {
  const NormalCursor normal;
  if (answerFileChoice) return answerFileChoice(filter, defaultExtension, true);
  QFileDialog dialog(mainWindow_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(FileDialogFilter(filter));
  dialog.setDefaultSuffix(Q(defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void QtUserInterface::StopStatusPoll() {
  if (statusTimer_ != nullptr) statusTimer_->stop();
}

void QtUserInterface::StartStatusPoll() {
  // Enabling a running timer leaves it running on its current beat.
  if (statusTimer_ != nullptr && !statusTimer_->isActive()) statusTimer_->start();
}

void QtUserInterface::StopReportingPoll() {
  if (stopReportingPoll) stopReportingPoll();
}

void QtUserInterface::StartReportingPoll() {
  if (startReportingPoll) startReportingPoll();
}

bool QtUserInterface::ReportingVisible() { return reportingVisible ? reportingVisible() : false; }
