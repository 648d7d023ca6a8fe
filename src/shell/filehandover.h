// Plot files opened with the program (`tessaline FILE...`, the desktop entry's "Open with") reach the
// program that already serves their task folder, over a local socket named after that folder.
#pragma once

#include <string>
#include <vector>

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class CFileHandOver : public QObject {
    Q_OBJECT
public:
    explicit CFileHandOver(QObject* parent = nullptr);
    ~CFileHandOver() override;

    // One name per user and task folder.
    static QString ServerName(const std::string& taskFolder);

    // Listens for the folder. The caller holds the folder's lock, so a socket left under that name can
    // only be a crashed program's and is removed first. Listening for another folder ends the old one.
    bool Listen(const std::string& taskFolder);
    void Close();
    bool Listening() const;
    const std::string& Folder() const { return m_strFolder; }

    // The second program's side: hands absolute paths to the program serving taskFolder and waits
    // (at most timeoutMs) for it to take them. pServer: that program's process id.
    static bool Send(const std::string& taskFolder, const QStringList& files, int timeoutMs, qint64* pServer = nullptr);

signals:
    void FilesReceived(const QStringList& files);

private:
    void OnConnection();
    void OnData(QLocalSocket* pSocket);

    QLocalServer* m_pServer = nullptr;
    std::string m_strFolder;
};
