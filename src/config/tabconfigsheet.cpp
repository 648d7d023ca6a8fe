// The tab control of the settings dialog: up to 16 registered pages, one shown at a time.
#include "config/tabconfigsheet.h"

CTabConfigSheet::CTabConfigSheet(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QString::number(kControlId));
    // Keyboard and mouse both switch pages: the page shown always matches the selected tab.
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            m_nCurrentPage = index;
    });
}

bool CTabConfigSheet::AddPage(const QString& title, QWidget* page, int templateId)
{
    if (m_nPageCount >= kMaxPages)
        return false;
    m_strTitle[m_nPageCount] = title;
    m_pPage[m_nPageCount] = page;
    m_nTemplateId[m_nPageCount] = templateId;
    ++m_nPageCount;
    return true;
}

void CTabConfigSheet::InitPages()
{
    for (int i = 0; i < m_nPageCount; ++i)
        addTab(m_pPage[i], m_strTitle[i]);
    PlacePages();
}

void CTabConfigSheet::PlacePages()
{
    if (m_nPageCount > 0)
        setCurrentIndex(0);
    m_nCurrentPage = 0;
}

QWidget* CTabConfigSheet::Page(int index) const
{
    return index >= 0 && index < m_nPageCount ? m_pPage[index] : nullptr;
}

int CTabConfigSheet::TemplateId(int index) const
{
    return index >= 0 && index < m_nPageCount ? m_nTemplateId[index] : 0;
}
