// Small builders for the settings pages: every control carries its numeric id as its objectName.
#include "config/dlgcontrols.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
template <class T>
T* Named(T* w, int id)
{
    w->setObjectName(QString::number(id));
    return w;
}
}  // namespace

QLineEdit* MakeEdit(QWidget* parent, int id)
{
    return Named(new QLineEdit(parent), id);
}

QCheckBox* MakeCheck(QWidget* parent, int id, const QString& text)
{
    return Named(new QCheckBox(text, parent), id);
}

QRadioButton* MakeRadio(QWidget* parent, QButtonGroup* group, int id, const QString& text)
{
    auto* b = Named(new QRadioButton(text, parent), id);
    group->addButton(b, id);
    return b;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text)
{
    auto* b = Named(new QPushButton(text, parent), id);
    b->setAutoDefault(false);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const QString& text)
{
    return new QLabel(text, parent);
}

void SetOption(QButtonGroup* group, QAbstractButton* button, bool checked)
{
    const bool exclusive = group->exclusive();
    group->setExclusive(false);
    button->setChecked(checked);
    group->setExclusive(exclusive);
}
