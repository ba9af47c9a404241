#pragma once
// QVLinkChoice: a labelled drop-down list that chooses which node another
// node is linked to (an effector's generator, a mixer's base mixer): "（なし）"
// first, then the candidates' names in registry order. Showing a choice stores
// nothing; the user's choice goes to OnChoose. Owned by its editor frame; UI
// thread.
#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

class QVLinkChoice : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(QVLinkChoice)

 public:
  QVLinkChoice(const QString& label, QWidget* parent);

  QLabel* Label;
  QComboBox* ComboBox;

  /// Shows names with current (an index into names, or -1 for none) chosen.
  void Show(const std::vector<std::string>& names, int32_t current);
  /// Receives the index into the names shown, or -1 for "（なし）".
  std::function<void(int32_t)> OnChoose;
};
