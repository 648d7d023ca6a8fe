// Settings page "Others": the working directory with its folder picker, and the label font size.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class CUserDefine;
class QLineEdit;
class QPushButton;

class COthersConfigDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 192;
    // Returns the chosen folder's path, or an empty text when cancelled or the folder has no path.
    using FolderPicker = std::function<QString(QWidget* owner, const QString& title)>;

    explicit COthersConfigDlg(QWidget* parent = nullptr);

    void Fill(const CUserDefine& ud);
    void Apply(CUserDefine& ud) const;
    void SetReadOnly();

    // Tests replace the platform's folder picker.
    void SetFolderPicker(FolderPicker picker) { m_fnPickFolder = std::move(picker); }
    static QString PickFolderFromPlatform(QWidget* owner, const QString& title);

    QLineEdit* m_pWorkPath;  // 1026, read-only and disabled
    QPushButton* m_pBrowse;  // 1027
    QLineEdit* m_pFontSize;  // 1033

public slots:
    void OnBrowse();

private:
    FolderPicker m_fnPickFolder;
};
