// Settings page "System": line width, cartridge count, the four cartridges' columns and the head width.
#include "config/systemconfigdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/dlgcontrols.h"
#include "config/dlgnumber.h"
#include "settings/userdefine.h"

namespace {
const int kEnableIds[4] = {1018, 1045, 1082, 1112};
const int kOffsetXIds[4] = {1019, 1044, 1057, 1093};
const int kOffsetYIds[4] = {1012, 1046, 1059, 1028};
const char* const kEnableTexts[4] = {
    QT_TRANSLATE_NOOP("CSystemConfigDlg", " No.1"), QT_TRANSLATE_NOOP("CSystemConfigDlg", "No.2"),
    QT_TRANSLATE_NOOP("CSystemConfigDlg", "No.3"), QT_TRANSLATE_NOOP("CSystemConfigDlg", "No.4")};
const char* const kCountTexts[4] = {QT_TRANSLATE_NOOP("CSystemConfigDlg", "Um"),
                                    QT_TRANSLATE_NOOP("CSystemConfigDlg", "Dois"),
                                    QT_TRANSLATE_NOOP("CSystemConfigDlg", "Tres"),
                                    QT_TRANSLATE_NOOP("CSystemConfigDlg", "Quatro")};
}  // namespace

CSystemConfigDlg::CSystemConfigDlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kTemplateId));
    auto* top = new QVBoxLayout(this);

    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(MakeLabel(this, tr("Espessura Linha:")));
    m_pLineWidth = MakeEdit(this, 1011);
    widthRow->addWidget(m_pLineWidth);
    widthRow->addWidget(MakeLabel(this, tr("HPP")));
    top->addLayout(widthRow);

    auto* countBox = new QGroupBox(tr("Quantidade de cartuchos"), this);
    auto* countRow = new QHBoxLayout(countBox);
    m_pHeadCount = new QButtonGroup(this);
    for (int k = 0; k < 4; ++k) {
        m_pHeadCountOpt[k] = MakeRadio(countBox, m_pHeadCount, 1014 + k, tr(kCountTexts[k]));
        countRow->addWidget(m_pHeadCountOpt[k]);
    }
    top->addWidget(countBox);

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, tr("Habilitar         Offset                 OffsetCorrect")), 0, 0, 1, 5);
    for (int k = 0; k < 4; ++k) {
        m_pEnable[k] = MakeCheck(this, kEnableIds[k], tr(kEnableTexts[k]));
        m_pOffsetX[k] = MakeEdit(this, kOffsetXIds[k]);
        m_pOffsetY[k] = MakeEdit(this, kOffsetYIds[k]);
        grid->addWidget(m_pEnable[k], k + 1, 0);
        grid->addWidget(m_pOffsetX[k], k + 1, 1);
        grid->addWidget(MakeLabel(this, tr("HPP")), k + 1, 2);
        grid->addWidget(m_pOffsetY[k], k + 1, 3);
        grid->addWidget(MakeLabel(this, tr("HPP")), k + 1, 4);
    }
    top->addLayout(grid);

    auto* headRow = new QHBoxLayout;
    headRow->addWidget(MakeLabel(this, tr("Espessura Cabeça")));
    m_pHeadWidth = MakeEdit(this, 1032);
    headRow->addWidget(m_pHeadWidth);
    headRow->addWidget(MakeLabel(this, tr("HPP")));
    top->addLayout(headRow);

    m_pCompressed = MakeCheck(this, 1003, tr("Compressed"));
    m_pCompressed->hide();
    top->addStretch(1);
}

void CSystemConfigDlg::Fill(const CUserDefine& ud)
{
    m_pLineWidth->setText(DlgFormatInt(ud.ELineWidth));
    for (int k = 0; k < 4; ++k)
        SetOption(m_pHeadCount, m_pHeadCountOpt[k], ud.JetPrintHead == k + 1);
    for (int k = 0; k < 4; ++k) {
        m_pEnable[k]->setChecked(ud.JetPrintHeadOpenStatus[2 * k] == 1);
        m_pOffsetX[k]->setText(DlgFormatInt(ud.JetPrintHeadValueX[2 * k]));
        m_pOffsetY[k]->setText(DlgFormatInt(ud.JetPrintHeadValueY[2 * k]));
    }
    m_pHeadWidth->setText(DlgFormatInt(ud.JETPRINTHEADWIDTH));
    m_pCompressed->setChecked(ud.DATACOMPRESS);
}

void CSystemConfigDlg::Apply(CUserDefine& ud) const
{
    ud.ELineWidth = DlgAtoi(m_pLineWidth->text());
    for (int k = 0; k < 4; ++k) {
        if (m_pHeadCountOpt[k]->isChecked()) {
            ud.JetPrintHead = static_cast<uint8_t>(k + 1);
            break;
        }
    }
    ud.JETPRINTHEADWIDTH = DlgAtoi(m_pHeadWidth->text());
    for (int k = 0; k < 4; ++k) {
        const int first = 2 * k;
        ud.JetPrintHeadOpenStatus[first] = m_pEnable[k]->isChecked() ? 1 : 0;
        ud.JetPrintHeadValueX[first] = DlgAtoi(m_pOffsetX[k]->text());
        ud.JetPrintHeadValueY[first] = DlgAtoi(m_pOffsetY[k]->text());
        if (m_pEnable[k]->isChecked()) {
            // The second nozzle column sits one head width to the left of the first.
            ud.JetPrintHeadOpenStatus[first + 1] = 1;
            ud.JetPrintHeadValueX[first + 1] =
                static_cast<int32_t>(static_cast<int64_t>(ud.JetPrintHeadValueX[first]) - ud.JETPRINTHEADWIDTH);
            ud.JetPrintHeadValueY[first + 1] = ud.JetPrintHeadValueY[first];
        }
    }
    ud.DATACOMPRESS = m_pCompressed->isChecked();
}

void CSystemConfigDlg::SetReadOnly()
{
    m_pLineWidth->setEnabled(false);
    for (int k = 0; k < 4; ++k) {
        m_pHeadCountOpt[k]->setEnabled(false);
        m_pEnable[k]->setEnabled(false);
        m_pOffsetX[k]->setEnabled(false);
        m_pOffsetY[k]->setEnabled(false);
    }
    m_pHeadWidth->setEnabled(false);
}
