// Settings page "Advanced": resolution, Y step, print area, speed and the USB transfer.
#pragma once

#include <QWidget>

class CUserDefine;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

class CAdvancedConfigDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 193;

    explicit CAdvancedConfigDlg(QWidget* parent = nullptr);

    void Fill(const CUserDefine& ud);
    // Reads m_nTotalNozzles, EdLineSection and JetPrintHead for the derived resolutions.
    void Apply(CUserDefine& ud) const;
    void SetReadOnly();

    QLineEdit* m_pDotsPerMetre;    // 1005
    QLineEdit* m_pStep;            // 1009
    QLineEdit* m_pArea;            // 1111
    QCheckBox* m_pSpeedEnable;     // 1101
    QButtonGroup* m_pSpeed;
    QRadioButton* m_pSpeedOpt[3];  // 1102, 1120, 1121
    QLineEdit* m_pPackageSize;     // 1023
    QLineEdit* m_pTimeout;         // 1031
};
