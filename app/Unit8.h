#pragma once
// TForm8, "Select Language": shown modally once at start-up. Each change of
// the list's selection sets the language at once; "OK" and the close box
// both close the window, keeping the language last set.

#include <QDialog>

namespace Ui {
class TForm8;
}
class QComboBox;
class QPushButton;

class TForm8 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm8(QWidget* parent = nullptr);
  ~TForm8() override;

  QComboBox* ComboBox1() const;
  QPushButton* Button1() const;

 public slots:
  // Fills the list with "English" and the Chinese name, both read from entry 1.
  void FormShow();
  void ComboBox1Change(int index);
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Ui::TForm8* ui_;
};
