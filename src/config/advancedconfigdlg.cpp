// Settings page "Advanced": resolution, Y step, print area, speed and the USB transfer.
#include "config/advancedconfigdlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/dlgcontrols.h"
#include "config/dlgnumber.h"
#include "settings/userdefine.h"

namespace {

const int kSpeedIds[3] = {1102, 1120, 1121};
const char* const kSpeedTexts[3] = {QT_TRANSLATE_NOOP("CAdvancedConfigDlg", "Baixa Velocidade(Alta Qualidade)"),
                                    QT_TRANSLATE_NOOP("CAdvancedConfigDlg", "Velocidade Média ( Boa Qualidade )"),
                                    QT_TRANSLATE_NOOP("CAdvancedConfigDlg", "Alta Velocidade (Baixa Qualidade)")};

constexpr int kPackageUnit = 512;
constexpr int kPackageMin = 2048;
constexpr int kPackageMax = 64512;

int PackageSize(int requested)
{
    int v = requested / kPackageUnit * kPackageUnit;
    if (v < kPackageMin)
        v = kPackageMin;
    if (v > kPackageMax)
        v = kPackageMax;
    return v;
}

}  // namespace

CAdvancedConfigDlg::CAdvancedConfigDlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kTemplateId));
    auto* top = new QVBoxLayout(this);

    auto* grid = new QGridLayout;
    m_pDotsPerMetre = MakeEdit(this, 1005);
    m_pStep = MakeEdit(this, 1009);
    m_pArea = MakeEdit(this, 1111);
    grid->addWidget(MakeLabel(this, tr("Pixel por 1000mm:")), 0, 0);
    grid->addWidget(m_pDotsPerMetre, 0, 1);
    grid->addWidget(MakeLabel(this, tr("Y-Step Values:")), 1, 0);
    grid->addWidget(m_pStep, 1, 1);
    grid->addWidget(MakeLabel(this, tr("Area impressão")), 2, 0);
    grid->addWidget(m_pArea, 2, 1);
    grid->addWidget(MakeLabel(this, tr("cm")), 2, 2);
    top->addLayout(grid);

    m_pSpeedEnable = MakeCheck(this, 1101, tr("Configurar velocidade impressão"));
    top->addWidget(m_pSpeedEnable);
    m_pSpeed = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_pSpeedOpt[i] = MakeRadio(this, m_pSpeed, kSpeedIds[i], tr(kSpeedTexts[i]));
        top->addWidget(m_pSpeedOpt[i]);
    }

    auto* usbBox = new QGroupBox(tr("Configuração USB"), this);
    auto* usbGrid = new QGridLayout(usbBox);
    m_pPackageSize = MakeEdit(usbBox, 1023);
    m_pTimeout = MakeEdit(usbBox, 1031);
    usbGrid->addWidget(MakeLabel(usbBox, tr("Volume de dados:")), 0, 0);
    usbGrid->addWidget(m_pPackageSize, 0, 1);
    usbGrid->addWidget(MakeLabel(usbBox, tr("Tempo Limite:")), 1, 0);
    usbGrid->addWidget(m_pTimeout, 1, 1);
    top->addWidget(usbBox);
    top->addStretch(1);
}

void CAdvancedConfigDlg::Fill(const CUserDefine& ud)
{
    m_pDotsPerMetre->setText(DlgFormatInt(ud.DPINumPerM));
    m_pStep->setText(DlgFormatInt(ud.EdStepB));
    m_pArea->setText(DlgFormatFixed(ud.MAXWIDTH, 1));
    m_pSpeedEnable->setChecked(ud.ENSPEED);
    for (int i = 0; i < 3; ++i)
        SetOption(m_pSpeed, m_pSpeedOpt[i], ud.UCSPEED == i);
    m_pPackageSize->setText(DlgFormatInt(ud.USBPACKAGESIZE));
    m_pTimeout->setText(DlgFormatInt(ud.USBTIMEOUT));
}

void CAdvancedConfigDlg::Apply(CUserDefine& ud) const
{
    ud.DPINumPerM = DlgAtoi(m_pDotsPerMetre->text());
    if (ud.DPINumPerM <= 1005)
        ud.DPINumPerM = 6653;
    ud.UpdateDotsPerUnitX();
    ud.UpdateRowsPerUnitY();

    ud.EdStepB = DlgAtoi(m_pStep->text());
    ud.UpdateStepTotal();
    ud.MAXWIDTH = static_cast<float>(DlgAtoi(m_pArea->text()));
    for (int i = 0; i < 3; ++i) {
        if (m_pSpeedOpt[i]->isChecked()) {
            ud.UCSPEED = i;
            break;
        }
    }
    ud.ENSPEED = m_pSpeedEnable->isChecked();
    ud.USBPACKAGESIZE = PackageSize(DlgAtoi(m_pPackageSize->text()));
    ud.USBTIMEOUT = DlgAtoi(m_pTimeout->text());
}

void CAdvancedConfigDlg::SetReadOnly()
{
    m_pDotsPerMetre->setEnabled(false);
    m_pStep->setEnabled(false);
    m_pArea->setEnabled(false);
    m_pSpeedEnable->setEnabled(false);
    for (QRadioButton* b : m_pSpeedOpt)
        b->setEnabled(false);
    m_pPackageSize->setEnabled(false);
    m_pTimeout->setEnabled(false);
}
