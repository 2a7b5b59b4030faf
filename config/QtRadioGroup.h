#pragma once
// A titled group of radio buttons with one selected item or none, addressed
// by item index. Only a selection made by the user is announced, so that
// putting a value read from the sensor into the group is never mistaken for
// the user's change.

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QRadioButton;
class QVBoxLayout;

class QtRadioGroup : public QGroupBox {
  Q_OBJECT
  Q_PROPERTY(QStringList items READ items WRITE setItems)

 public:
  explicit QtRadioGroup(QWidget* parent = nullptr);

  QStringList items() const;
  // Replaces the items; no item is selected afterwards.
  void setItems(const QStringList& items);

  // The selected item, or -1 for none.
  int itemIndex() const;
  // Selects an item (-1: none) without announcing it.
  void setItemIndex(int index);

  // The button of an item, for tests that click it; null outside the items.
  QRadioButton* button(int index) const;

 signals:
  // The user selected another item.
  void itemChanged(int index);

 private:
  QVBoxLayout* layout_;
  QList<QRadioButton*> buttons_;
  bool settingIndex_ = false;
};
