// Settings page "Plotting": origin point, scale calibration, mirror, rotation, automatic plotting, junction factor.
#include "config/paramconfigdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/dlgcontrols.h"
#include "config/dlgnumber.h"
#include "settings/userdefine.h"

namespace {

void AddRow(QGridLayout* grid, int row, QWidget* parent, const QString& label, QLineEdit* edit, const QString& unit)
{
    grid->addWidget(MakeLabel(parent, label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(MakeLabel(parent, unit), row, 2);
}

// A calibration length of 0 would divide the scale by zero: it stands for 1.
float ScaleLength(const QLineEdit* edit)
{
    float v = DlgAtof(edit->text());
    return v == 0.0f ? 1.0f : v;
}

}  // namespace

CParamConfigDlg::CParamConfigDlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kTemplateId));
    auto* top = new QVBoxLayout(this);

    auto* originGrid = new QGridLayout;
    m_pOrigin = MakeEdit(this, 1004);
    AddRow(originGrid, 0, this, tr("Origin Point:"), m_pOrigin, tr("mm"));
    top->addLayout(originGrid);

    auto* scaleBox = new QGroupBox(tr("Ajuste de Escala"), this);
    auto* scaleGrid = new QGridLayout(scaleBox);
    m_pXPlotted = MakeEdit(scaleBox, 1024);
    m_pYPlotted = MakeEdit(scaleBox, 1020);
    m_pXReal = MakeEdit(scaleBox, 1030);
    m_pYReal = MakeEdit(scaleBox, 1022);
    AddRow(scaleGrid, 0, scaleBox, tr("X-Plotado:"), m_pXPlotted, tr("cm"));
    AddRow(scaleGrid, 1, scaleBox, tr("Y-Plotado:"), m_pYPlotted, tr("cm"));
    AddRow(scaleGrid, 2, scaleBox, tr("X-Real:"), m_pXReal, tr("cm"));
    AddRow(scaleGrid, 3, scaleBox, tr("Y-Real:"), m_pYReal, tr("cm"));
    top->addWidget(scaleBox);

    m_pMirror = MakeCheck(this, 1000, tr("Espelhar"));
    m_pAuto = MakeCheck(this, 1002, tr("Plotar Automatico"));
    m_pRotate = MakeCheck(this, 1001, tr("Rotacionar 90 Graus"));
    top->addWidget(m_pMirror);
    top->addWidget(m_pAuto);
    top->addWidget(m_pRotate);
    auto* dirRow = new QHBoxLayout;
    m_pDirection = new QButtonGroup(this);
    m_pClockwise = MakeRadio(this, m_pDirection, 1107, tr("Horario"));
    m_pAntiClock = MakeRadio(this, m_pDirection, 1108, tr("Ante horario"));
    dirRow->addWidget(m_pClockwise);
    dirRow->addWidget(m_pAntiClock);
    top->addLayout(dirRow);

    auto* junctionBox = new QGroupBox(tr("Fator de junção"), this);
    auto* junctionGrid = new QGridLayout(junctionBox);
    m_pJunctionSign = new QButtonGroup(this);
    m_pJunctionAdd = MakeRadio(junctionBox, m_pJunctionSign, 1021, tr("Usar fator de junção"));
    m_pJunctionSub = MakeRadio(junctionBox, m_pJunctionSign, 1025, tr("Decreasement"));
    m_pJunctionSub->hide();
    m_pJunction = MakeEdit(junctionBox, 1008);
    m_pDefine = MakeButton(junctionBox, 1081, tr("Definir"));
    junctionGrid->addWidget(m_pJunctionAdd, 0, 0, 1, 3);
    junctionGrid->addWidget(m_pJunctionSub, 1, 0, 1, 3);
    junctionGrid->addWidget(m_pJunction, 2, 0);
    junctionGrid->addWidget(MakeLabel(junctionBox, tr("HPP")), 2, 1);
    junctionGrid->addWidget(m_pDefine, 2, 2);
    top->addWidget(junctionBox);
    top->addStretch(1);
}

void CParamConfigDlg::Fill(const CUserDefine& ud)
{
    m_pOrigin->setText(DlgFormatFixed(ud.EdLeftValue, 0));
    m_pXPlotted->setText(DlgFormatFixed(ud.XSCALE_T, 2));
    m_pYPlotted->setText(DlgFormatFixed(ud.YSCALE_T, 2));
    m_pXReal->setText(DlgFormatFixed(ud.XSCALE_R, 2));
    m_pYReal->setText(DlgFormatFixed(ud.YSCALE_R, 2));
    m_pMirror->setChecked(ud.PRINTMIRROR);
    m_pAuto->setChecked(ud.PRINTAUTO);
    m_pRotate->setChecked(ud.PRINTROTATION90);
    SetOption(m_pDirection, m_pClockwise, ud.PRINTROTATION90_CLOCKWISE);
    SetOption(m_pDirection, m_pAntiClock, ud.PRINTROTATION90_UNCLOCKWISE);
    m_pJunction->setText(DlgFormatInt(ud.EdLRCrcValue));
    SetOption(m_pJunctionSign, m_pJunctionAdd, ud.CrcAddorSub == 1);
    SetOption(m_pJunctionSign, m_pJunctionSub, ud.CrcAddorSub == 0);
}

void CParamConfigDlg::Apply(CUserDefine& ud) const
{
    ud.EdLeftValue = DlgAtof(m_pOrigin->text());
    const float dots = ud.EdLeftValue * ud.DPINumPerM / 1000;
    // A value outside the int range is refused before saving; keep the conversion defined.
    ud.m_nLeftDots = (dots > -2147483648.0f && dots < 2147483648.0f) ? static_cast<int32_t>(dots) : 0;

    ud.XSCALE_T = ScaleLength(m_pXPlotted);
    ud.YSCALE_T = ScaleLength(m_pYPlotted);
    ud.XSCALE_R = ScaleLength(m_pXReal);
    ud.YSCALE_R = ScaleLength(m_pYReal);
    ud.UpdateRatios();

    ud.PRINTROTATION90 = m_pRotate->isChecked();
    ud.PRINTROTATION90_CLOCKWISE = m_pClockwise->isChecked();
    ud.PRINTROTATION90_UNCLOCKWISE = m_pAntiClock->isChecked();
    ud.PRINTMIRROR = m_pMirror->isChecked();
    ud.PRINTAUTO = m_pAuto->isChecked();

    ud.EdLRCrcValue = DlgAtoi(m_pJunction->text());
    if (m_pJunctionAdd->isChecked())
        ud.CrcAddorSub = 1;
    else if (m_pJunctionSub->isChecked())
        ud.CrcAddorSub = 0;
}

void CParamConfigDlg::SetReadOnly()
{
    for (QWidget* w : {static_cast<QWidget*>(m_pOrigin), static_cast<QWidget*>(m_pYPlotted),
                       static_cast<QWidget*>(m_pYReal), static_cast<QWidget*>(m_pXPlotted),
                       static_cast<QWidget*>(m_pXReal), static_cast<QWidget*>(m_pMirror),
                       static_cast<QWidget*>(m_pRotate), static_cast<QWidget*>(m_pAuto),
                       static_cast<QWidget*>(m_pClockwise), static_cast<QWidget*>(m_pAntiClock)})
        w->setEnabled(false);
}
