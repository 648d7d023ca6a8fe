// The tab control of the settings dialog: up to 16 registered pages, one shown at a time.
#pragma once

#include <QString>
#include <QTabWidget>

class CTabConfigSheet : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kMaxPages = 16;
    static constexpr int kControlId = 1120;

    explicit CTabConfigSheet(QWidget* parent = nullptr);

    // False when 16 pages are registered already.
    bool AddPage(const QString& title, QWidget* page, int templateId);
    // Puts every registered page under its tab and shows page 0.
    void InitPages();
    // Shows page 0 and hides the others; the tab widget keeps the pages' geometry.
    void PlacePages();

    int PageCount() const { return m_nPageCount; }
    int CurrentPage() const { return m_nCurrentPage; }
    QWidget* Page(int index) const;
    int TemplateId(int index) const;

private:
    QString m_strTitle[kMaxPages];
    QWidget* m_pPage[kMaxPages] = {};
    int m_nTemplateId[kMaxPages] = {};
    int m_nPageCount = 0;
    int m_nCurrentPage = 0;
};
