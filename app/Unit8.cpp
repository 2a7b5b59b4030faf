#include "app/Unit8.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/QtLook.h"
#include "app/Unit9.h"
#include "ui_Unit8.h"

TForm8::TForm8(QWidget* parent) : QDialog(parent), ui_(new Ui::TForm8) {
  ui_->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(217, 111);
  QFont listFont = ui_->ComboBox1->font();
  listFont.setPixelSize(18);
  ui_->ComboBox1->setFont(listFont);
  PaintWindowBackground(this);
  connect(ui_->ComboBox1, &QComboBox::currentIndexChanged, this, &TForm8::ComboBox1Change);
  connect(ui_->Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
  // Return confirms the choice.
  ui_->Button1->setDefault(true);
}

TForm8::~TForm8() { delete ui_; }

QComboBox* TForm8::ComboBox1() const { return ui_->ComboBox1; }
QPushButton* TForm8::Button1() const { return ui_->Button1; }

void TForm8::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TForm8::FormShow() {
  CentreOnScreen(this);
  // Filling the list is not a choice of the user: it must not set the language.
  const QSignalBlocker quiet(ui_->ComboBox1);
  ui_->ComboBox1->clear();
  ui_->ComboBox1->addItem(QString::fromStdString(TextIn(1, 0)));
  SetLanguage(1);
  const QString chinese = QString::fromStdString(TextOf(1));
  SetLanguage(0);
  ui_->ComboBox1->addItem(chinese);
  ui_->ComboBox1->setCurrentIndex(0);
  ui_->ComboBox1->setFocus();
}

void TForm8::ComboBox1Change(int index) { SetLanguage(index == 1 ? 1 : 0); }

void TForm8::Button1Click() { accept(); }
