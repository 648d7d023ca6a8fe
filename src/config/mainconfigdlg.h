// The modal "Settings" dialog: four pages over the settings record, Save writes config.ini.
#pragma once

#include <functional>

#include <QDialog>

class CAdvancedConfigDlg;
class CMarquellDoc;
class COthersConfigDlg;
class CParamConfigDlg;
class CSystemConfigDlg;
class CTabConfigSheet;
class CUserDefine;
class QPushButton;

class CMainConfigDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 194;
    static constexpr int kSaveId = 1054;

    // bReadOnly: a job is printing (the opener passes m_bPrinting). The record is then neither
    // reloaded nor editable.
    CMainConfigDlg(CMarquellDoc& doc, bool bReadOnly, QWidget* parent = nullptr);

    // Whether a job prints now; Save asks it again at the moment of saving. The print status by default.
    std::function<bool()> m_fnPrinting;

    // Record -> controls.
    void FillPages();
    // Controls -> record, page by page: System, Advanced, Plotting, Others, then the totals.
    void ApplyPages(CUserDefine& ud) const;

    CSystemConfigDlg* m_pSystemDlg;
    CParamConfigDlg* m_pParamDlg;
    COthersConfigDlg* m_pOthersDlg;
    CAdvancedConfigDlg* m_pAdvancedDlg;
    CTabConfigSheet* m_pTabSheet;
    QPushButton* m_pOk;
    QPushButton* m_pCancel;
    QPushButton* m_pSave;
    const bool m_bReadOnly;

public slots:
    // Applies the pages and writes config.ini, unless a value would break the print path.
    void OnSave();

private:
    void OnInitDialog();
    void SetReadOnly();

    CMarquellDoc& m_Doc;
};
