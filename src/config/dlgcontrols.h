// Small builders for the settings pages: every control carries its numeric id as its objectName.
#pragma once

#include <QString>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

QLineEdit* MakeEdit(QWidget* parent, int id);
QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text);
QRadioButton* MakeRadio(QWidget* parent, QButtonGroup* group, int id, const QString& text);
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
QLabel* MakeLabel(QWidget* parent, const QString& text);

// Sets one option button without the group unticking the others, so that a record holding
// two (or no) selected options shows exactly that.
void SetOption(QButtonGroup* group, QAbstractButton* button, bool checked);
