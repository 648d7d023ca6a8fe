// The modal "Settings" dialog: four pages over the settings record, Save writes config.ini.
#include "config/mainconfigdlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "config/advancedconfigdlg.h"
#include "config/othersconfigdlg.h"
#include "config/paramconfigdlg.h"
#include "config/settingscheck.h"
#include "config/systemconfigdlg.h"
#include "config/tabconfigsheet.h"
#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"

namespace {

QPushButton* MakeDialogButton(QWidget* parent, int id, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::number(id));
    return b;
}

}  // namespace

CMainConfigDlg::CMainConfigDlg(CMarquellDoc& doc, bool bReadOnly, QWidget* parent)
    : QDialog(parent),
      m_fnPrinting([] { return gPrinterStatus.m_bPrinting.load(); }),
      m_bReadOnly(bReadOnly),
      m_Doc(doc)
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(tr("Settings"));
    setModal(true);

    m_pTabSheet = new CTabConfigSheet(this);
    // Every tab title shows whole, in any language: the dialog grows to fit them.
    m_pTabSheet->setUsesScrollButtons(false);
    m_pSystemDlg = new CSystemConfigDlg;
    m_pParamDlg = new CParamConfigDlg;
    m_pOthersDlg = new COthersConfigDlg;
    m_pAdvancedDlg = new CAdvancedConfigDlg;

    m_pOk = MakeDialogButton(this, IDOK, tr("OK"));
    m_pCancel = MakeDialogButton(this, IDCANCEL, tr("Cancel"));
    m_pSave = MakeDialogButton(this, kSaveId, tr("Save"));
    m_pOk->setDefault(true);
    m_pCancel->setAutoDefault(false);
    m_pSave->setAutoDefault(false);

    auto* top = new QVBoxLayout(this);
    top->addWidget(m_pTabSheet, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    buttons->addWidget(m_pSave);
    top->addLayout(buttons);

    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pSave, &QPushButton::clicked, this, &CMainConfigDlg::OnSave);

    // The template's 209 x 245 dialog units.
    const QFontMetrics fm(font());
    resize(209 * fm.averageCharWidth() / 4, 245 * fm.height() / 8);

    OnInitDialog();
}

void CMainConfigDlg::OnInitDialog()
{
    m_pTabSheet->AddPage(tr("System"), m_pSystemDlg, CSystemConfigDlg::kTemplateId);
    m_pTabSheet->AddPage(tr("Plotting"), m_pParamDlg, CParamConfigDlg::kTemplateId);
    m_pTabSheet->AddPage(tr("Others"), m_pOthersDlg, COthersConfigDlg::kTemplateId);
    m_pTabSheet->AddPage(tr("Advanced"), m_pAdvancedDlg, CAdvancedConfigDlg::kTemplateId);
    m_pTabSheet->InitPages();

    // While a job prints the worker reads the record: show it as it is, without reloading.
    if (!m_bReadOnly)
        m_Doc.LoadConfig();
    FillPages();
    if (m_bReadOnly)
        SetReadOnly();
}

void CMainConfigDlg::FillPages()
{
    const CUserDefine& ud = m_Doc.m_UserDefine;
    m_pSystemDlg->Fill(ud);
    m_pParamDlg->Fill(ud);
    m_pOthersDlg->Fill(ud);
    m_pAdvancedDlg->Fill(ud);
}

void CMainConfigDlg::ApplyPages(CUserDefine& ud) const
{
    m_pSystemDlg->Apply(ud);
    m_pAdvancedDlg->Apply(ud);
    m_pParamDlg->Apply(ud);
    m_pOthersDlg->Apply(ud);
    ud.UpdateHeadTotals();
    // The rows per unit of the Advanced page were taken with the old total; the head count may
    // have changed since.
    ud.UpdateRowsPerUnitY();
}

void CMainConfigDlg::OnSave()
{
    if (m_bReadOnly)
        return;
    // The automatic scan may have started a job while the dialog stood open: the worker reads the record.
    if (m_fnPrinting()) {
        SetReadOnly();
        ShowMessage(tr("Um trabalho começou a ser plotado: as configurações não foram salvas. "
                       "Abra as configurações de novo depois do trabalho.")
                        .toStdString());
        return;
    }
    CUserDefine ud = m_Doc.m_UserDefine;
    ApplyPages(ud);
    const std::vector<std::string> problems = CSettingsCheck::Check(ud);
    if (!problems.empty()) {
        QString text = tr("Configurações não salvas. Corrija os valores:");
        for (const std::string& p : problems)
            text += QLatin1Char('\n') + QString::fromStdString(p);
        ShowMessage(text.toStdString());
        return;
    }
    m_Doc.m_UserDefine = ud;
    if (!m_Doc.SaveConfig()) {
        const std::string text = m_Doc.ConfigProblemText(true);
        WriteLog(Utf8ToGbk(text) + "\r\n");
        ShowMessage(text);
    }
}

void CMainConfigDlg::SetReadOnly()
{
    m_pSystemDlg->SetReadOnly();
    m_pParamDlg->SetReadOnly();
    m_pOthersDlg->SetReadOnly();
    m_pAdvancedDlg->SetReadOnly();
    m_pSave->setEnabled(false);
}
