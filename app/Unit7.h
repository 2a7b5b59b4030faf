#pragma once
// TForm7, the About window: the configurator's part number and version, the
// sensor firmware's as the last identification gave them, and two links to
// the maker's web pages. Shown without blocking from Help > About; it never
// talks to the sensor.

#include <QDialog>
#include <functional>

class QLabel;
class QUrl;
struct LinkState;

// The maker's home page and the product's page on it, shown as the links' text.
extern const char* const kMakerAddress;
extern const char* const kProductAddress;

class TForm7 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm7(const LinkState& link, QWidget* parent = nullptr);
  ~TForm7() override;

  // The window title from the string table (entry 2).
  void ApplyLanguage();

  // How a link is opened: the default browser unless a test looks instead.
  std::function<void(const QUrl&)> openUrl;

  QLabel* lbGUI() const { return lbGUI_; }
  QLabel* lbFW() const { return lbFW_; }
  QLabel* Label2() const { return label2_; }
  QLabel* Label3() const { return label3_; }

 public slots:
  // Sets both version labels from the numbers of this moment.
  void FormShow();
  void Label2Click();
  void Label3Click();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const LinkState& link_;
  QLabel* lbGUI_;
  QLabel* lbFW_;
  QLabel* label2_;
  QLabel* label3_;
};
