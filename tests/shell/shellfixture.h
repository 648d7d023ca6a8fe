// The desktop program under test: a demo folder (virtual plotter, automatic printing, cartridge No.1),
// virtual time, the real window bridge with an operator who answers every message box, and bounded waits.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "shell/fileview.h"
#include "shell/mainfrm.h"
#include "shell/marquell.h"
#include "support/processstate.h"
#include "testtmp.h"

namespace fs = std::filesystem;

// A small marker: one rectangle of 100 x 50 mm.
inline const char* const kMarker = "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;";

struct CShownBox {
    std::string caption, text;
};

class ShellTest : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        SetClock(&m_Clock);
        m_Dir = TestTempDir("shell");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "tasks");
        WriteConfig(true);

        // The operator: closes every message box (recording it) unless a test takes the next modal window.
        m_pOperator = new QTimer();
        m_pOperator->setInterval(5);
        QObject::connect(m_pOperator, &QTimer::timeout, [this] { Operate(); });
        m_pOperator->start();
    }
    void TearDown() override
    {
        m_pApp.reset();
        delete m_pOperator;
        EndProcessState();
        fs::remove_all(m_Dir);
    }

    void WriteConfig(bool printAuto)
    {
        // The texts as they stand in the program, whatever the machine's locale.
        std::ofstream(m_Dir / "config.ini") << "[LINK]\r\nDEVICE=VIRTUAL\r\n[UI]\r\nLANGUAGE=" << m_strLanguage
                                            << "\r\n[PRINT]\r\nPRINTAUTO=" << (printAuto ? 1 : 0)
                                            << "\r\n[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus0=1\r\n"
                                               "JetPrintHeadOpenStatus1=1\r\n";
    }
    // Starts the program; the timers are left to the test, which fires them itself.
    void Start(bool stopTimers = true)
    {
        m_pApp = std::make_unique<CMarquellApp>(m_Dir.string());
        ASSERT_TRUE(m_pApp->InitInstance());
        if (stopTimers)
            for (int id : {CFileView::kTimerLink, CFileView::kTimerScan, CFileView::kTimerIdle})
                View()->Timer(id)->stop();
    }
    CMainFrame* Frame() const { return m_pApp->MainFrame(); }
    CFileView* View() const { return Frame()->FileView(); }
    CMarquellDoc& Doc() const { return *m_pApp->Document(); }

    std::string Folder() const { return (m_Dir / "tasks").string() + "/"; }
    std::string Task(const std::string& name, const std::string& content = kMarker)
    {
        std::ofstream(Folder() + name, std::ios::binary) << content;
        return Folder() + name;
    }
    // The visible rows, one column.
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> values;
        for (int r = 0; r < View()->rowCount(); ++r) {
            QTableWidgetItem* pItem = View()->item(r, column);
            std::string text = pItem ? pItem->text().toStdString() : std::string();
            values.push_back(column == 1 ? fs::path(text).filename().string() : text);
        }
        return values;
    }
    void Select(const std::string& name) { View()->SelectPath(Folder() + name); }

    // Fires the link timer and the scan timer, as the window's clock would.
    void Tick()
    {
        View()->OnTimer(CFileView::kTimerLink);
        View()->OnTimer(CFileView::kTimerScan);
    }
    // Bounded by virtual time and, against a blocked thread, by real time.
    bool WaitUntil(const std::function<bool()>& cond, int64_t virtualMs = 24 * 3600 * 1000)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const int64_t limit = m_Clock.Now() + virtualMs;
        while (!cond()) {
            if (m_Clock.Now() > limit || std::chrono::steady_clock::now() > fuse)
                return cond();
            QApplication::processEvents();
            std::this_thread::yield();
        }
        QApplication::processEvents();
        return true;
    }
    // The next modal window (not a message box) is handed to fn instead of being closed.
    void OnNextDialog(std::function<void(QWidget*)> fn) { m_fnDialog = std::move(fn); }

    CVirtualClock m_Clock;
    fs::path m_Dir;
    std::string m_strLanguage = "source";  // [UI] LANGUAGE of the next WriteConfig
    std::unique_ptr<CMarquellApp> m_pApp;
    std::vector<CShownBox> m_Boxes;

private:
    void Operate()
    {
        QWidget* pModal = QApplication::activeModalWidget();
        if (!pModal)
            return;
        if (auto* pBox = qobject_cast<QMessageBox*>(pModal)) {
            m_Boxes.push_back({pBox->windowTitle().toStdString(), pBox->text().toStdString()});
            QAbstractButton* pButton = pBox->button(QMessageBox::No);
            if (!pButton)
                pButton = pBox->button(QMessageBox::Ok);
            pButton->click();
        } else if (m_fnDialog) {
            auto fn = std::move(m_fnDialog);
            m_fnDialog = nullptr;
            fn(pModal);
        }
    }

    QTimer* m_pOperator = nullptr;
    std::function<void(QWidget*)> m_fnDialog;
};
