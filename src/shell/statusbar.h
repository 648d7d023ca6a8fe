// The main window's status bar: the message pane and six panes whose texts may change without a redraw.
#pragma once

#include <QStatusBar>
#include <QString>
#include <vector>

class QLabel;

// One pane: shows its text as of its last paint, so a text set without a redraw stays unseen until
// something repaints the bar.
class CStatusPane : public QWidget {
    Q_OBJECT
public:
    CStatusPane(const QString& sample, QWidget* parent);
    void SetText(const QString& text, bool bUpdate);
    QString Text() const { return m_strText; }
    // What the last paint drew.
    QString ShownText() const { return m_strShown; }
    QSize sizeHint() const override;
    void SetWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_strText;
    QString m_strShown;
    int m_nWidth;
};

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int ID_SEPARATOR = 0;
    // The pane after the design's six: time left for the job in progress.
    static constexpr int ID_INDICATOR_TIMELEFT = 59148;

    explicit CStatusBar(QWidget* parent);

    // Builds the panes of the given string ids (0: the message pane), each as wide as its sample text.
    bool SetIndicators(const std::vector<int>& ids);
    int CommandToIndex(int id) const;
    void SetPaneWidth(int index, int width);
    void SetPaneText(int index, const QString& text, bool bUpdate = true);
    QString GetPaneText(int index) const;
    // What pane index showed at its last paint (the message pane: its current text).
    QString ShownPaneText(int index) const;
    QRect GetItemRect(int index) const;
    QWidget* Pane(int index) const;
    // Repaints every pane at once.
    void Redraw();

private:
    std::vector<int> m_Ids;
    QLabel* m_pMessagePane = nullptr;
    std::vector<CStatusPane*> m_Panes;  // index 0 unused
};

// Published by the main frame while it exists.
extern CStatusBar* g_pStatusBar;

// The sample text of a status pane id (its string resource).
QString StatusPaneSample(int id);
