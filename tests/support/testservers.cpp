#include "support/testservers.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace {
const char *Python = "/usr/bin/python3";
}

TestServerProcess::TestServerProcess(const QString &script)
    : m_script(QStringLiteral(CORVANE_TEST_DIR "/support/") + script)
{ }

TestServerProcess::~TestServerProcess()
{
    stop();
}

bool TestServerProcess::start(const QStringList &arguments, int timeoutMs)
{
    stop();
    m_port = 0;
    m_error.clear();
    // The server's chatter is not read: it must not fill a pipe.
    m_process.setStandardErrorFile(qEnvironmentVariableIsSet("CORVANE_TEST_SERVER_LOG")
                                       ? qEnvironmentVariable("CORVANE_TEST_SERVER_LOG")
                                       : QProcess::nullDevice(),
                                   QIODevice::Append);
    m_process.start(QString::fromLatin1(Python), QStringList{m_script} + arguments);
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("não iniciou: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    QByteArray line;
    while (!deadline.hasExpired()) {
        if (m_process.canReadLine()) {
            line = m_process.readLine().trimmed();
            if (line.startsWith("READY ")) {
                m_port = line.mid(6).toInt();
                if (m_port > 0)
                    return true;
            }
            continue;
        }
        if (m_process.state() != QProcess::Running)
            break;
        m_process.waitForReadyRead(int(qMin<qint64>(200, qMax<qint64>(1, deadline.remainingTime()))));
    }
    m_error = QStringLiteral("não ficou pronto (saída: %1)").arg(QString::fromUtf8(line));
    kill();
    return false;
}

void TestServerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the script ends when its stdin closes
    if (!m_process.waitForFinished(3000)) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            kill();
    }
}

void TestServerProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool TestServerProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

FtpTestServer::FtpTestServer(const QString &root)
    : TestServerProcess(QStringLiteral("ftpserver.py")),
      m_root(root)
{ }

bool FtpTestServer::start(const Options &options)
{
    m_options = options;
    QDir().mkpath(m_root);
    QStringList args{"--root", m_root, "--user", options.user, "--password", options.password, "--perm", options.perm};
    if (options.throttle > 0)
        args << "--throttle" << QString::number(options.throttle);
    if (options.tls)
        args << "--tls"
             << "--cert-out" << certificateFile();
    return TestServerProcess::start(args);
}

QString FtpTestServer::address(const QString &folder) const
{
    return QStringLiteral("127.0.0.1:%1/%2").arg(port()).arg(folder);
}

SmtpTestServer::SmtpTestServer(const QString &spool)
    : TestServerProcess(QStringLiteral("smtpserver.py")),
      m_spool(spool)
{ }

bool SmtpTestServer::start(const Options &options)
{
    QDir().mkpath(m_spool);
    QStringList args{"--spool", m_spool};
    for (const QString &r : options.rejectRecipients)
        args << "--reject-rcpt" << r;
    if (options.rejectData)
        args << "--reject-data";
    if (options.rejectSender)
        args << "--reject-sender";
    if (options.tls)
        args << "--tls"
             << "--cert-out" << certificateFile();
    return TestServerProcess::start(args);
}

QByteArray SmtpTestServer::messageJson(int n, int timeoutMs) const
{
    QFile file(m_spool + QStringLiteral("/%1.json").arg(n));
    QDeadlineTimer deadline(timeoutMs);
    while (!file.exists() && !deadline.hasExpired())
        QThread::msleep(50);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
