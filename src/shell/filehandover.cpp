// The local socket between a second start of the program and the one serving the task folder.
#include "shell/filehandover.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

// The wire: the client sends this tag and the list of paths, the server answers with its process id.
const char* const kTag = "tessaline-open-1";

}  // namespace

CFileHandOver::CFileHandOver(QObject* parent) : QObject(parent) {}

CFileHandOver::~CFileHandOver()
{
    Close();
}

QString CFileHandOver::ServerName(const std::string& taskFolder)
{
    const QString folder = QDir::cleanPath(QString::fromStdString(taskFolder));
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("tessaline-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

bool CFileHandOver::Listen(const std::string& taskFolder)
{
    if (Listening() && taskFolder == m_strFolder)
        return true;
    Close();
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer, &QLocalServer::newConnection, this, &CFileHandOver::OnConnection);
    const QString name = ServerName(taskFolder);
    QLocalServer::removeServer(name);
    if (!m_pServer->listen(name)) {
        Close();
        return false;
    }
    m_strFolder = taskFolder;
    return true;
}

void CFileHandOver::Close()
{
    delete m_pServer;
    m_pServer = nullptr;
    m_strFolder.clear();
}

bool CFileHandOver::Listening() const
{
    return m_pServer && m_pServer->isListening();
}

void CFileHandOver::OnConnection()
{
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { OnData(pSocket); });
        OnData(pSocket);
    }
}

void CFileHandOver::OnData(QLocalSocket* pSocket)
{
    QDataStream in(pSocket);
    in.startTransaction();
    QByteArray tag;
    QStringList files;
    in >> tag >> files;
    if (!in.commitTransaction())
        return;  // more to come
    if (tag != kTag) {
        pSocket->abort();
        return;
    }
    QDataStream out(pSocket);
    out << qint64(QCoreApplication::applicationPid());
    pSocket->flush();
    pSocket->disconnectFromServer();
    emit FilesReceived(files);
}

bool CFileHandOver::Send(const std::string& taskFolder, const QStringList& files, int timeoutMs, qint64* pServer)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName(taskFolder));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    {
        QDataStream out(&socket);
        out << QByteArray(kTag) << files;
    }
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    QDataStream in(&socket);
    for (;;) {
        in.startTransaction();
        qint64 pid = 0;
        in >> pid;
        if (in.commitTransaction()) {
            if (pServer)
                *pServer = pid;
            return true;
        }
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
}
