// The About box: the application icon, "Tessaline 2.2e" and OK.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 100;
    explicit CAboutDlg(QWidget* parent = nullptr);
};

// The application icon (icon resource 128).
QIcon AppIcon();
