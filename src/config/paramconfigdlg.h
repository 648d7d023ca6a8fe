// Settings page "Plotting": origin point, scale calibration, mirror, rotation, automatic plotting, junction factor.
#pragma once

#include <QWidget>

class CUserDefine;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CParamConfigDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 191;

    explicit CParamConfigDlg(QWidget* parent = nullptr);

    void Fill(const CUserDefine& ud);
    // Reads DPINumPerM from ud for the left margin in dots: apply the Advanced page first.
    void Apply(CUserDefine& ud) const;
    void SetReadOnly();

    QLineEdit* m_pOrigin;         // 1004
    QLineEdit* m_pXPlotted;       // 1024
    QLineEdit* m_pYPlotted;       // 1020
    QLineEdit* m_pXReal;          // 1030
    QLineEdit* m_pYReal;          // 1022
    QCheckBox* m_pMirror;         // 1000
    QCheckBox* m_pAuto;           // 1002
    QCheckBox* m_pRotate;         // 1001
    QButtonGroup* m_pDirection;
    QRadioButton* m_pClockwise;   // 1107
    QRadioButton* m_pAntiClock;   // 1108
    QLineEdit* m_pJunction;       // 1008
    QButtonGroup* m_pJunctionSign;
    QRadioButton* m_pJunctionAdd; // 1021
    QRadioButton* m_pJunctionSub; // 1025, hidden
    QPushButton* m_pDefine;       // 1081
};
