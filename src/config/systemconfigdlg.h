// Settings page "System": line width, cartridge count, the four cartridges' columns and the head width.
#pragma once

#include <QWidget>

class CUserDefine;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

class CSystemConfigDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 190;

    explicit CSystemConfigDlg(QWidget* parent = nullptr);

    void Fill(const CUserDefine& ud);
    void Apply(CUserDefine& ud) const;
    void SetReadOnly();

    QLineEdit* m_pLineWidth;          // 1011
    QButtonGroup* m_pHeadCount;
    QRadioButton* m_pHeadCountOpt[4]; // 1014..1017
    QCheckBox* m_pEnable[4];          // 1018, 1045, 1082, 1112
    QLineEdit* m_pOffsetX[4];         // 1019, 1044, 1057, 1093
    QLineEdit* m_pOffsetY[4];         // 1012, 1046, 1059, 1028
    QLineEdit* m_pHeadWidth;          // 1032
    QCheckBox* m_pCompressed;         // 1003, hidden
};
