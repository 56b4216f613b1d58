#pragma once
// Runs corvane-cli (or corvane) as a user would: no terminal on stdin, the
// password "admin" in CORVANE_SENHA, and, when given, a day as today.
#include <QDate>
#include <QProcess>
#include <QStringList>

#include <map>

namespace CliRun {

struct Result
{
    int code = -1; // -1: did not finish in the time allowed, or crashed
    QString out, err;
};

struct Options
{
    QString program = QStringLiteral(CORVANE_CLI_PATH);
    QString password = QStringLiteral("admin"); // empty: CORVANE_SENHA unset
    QDate today;
    std::map<QString, QString> env; // further variables; an empty value unsets one
    int timeoutMs = 120000;

    Options &running(const QString &path)
    {
        program = path;
        return *this;
    }
    Options &withPassword(const QString &value)
    {
        password = value;
        return *this;
    }
    Options &withoutPassword() { return withPassword(QString()); }
    Options &withEnv(const QString &name, const QString &value)
    {
        env[name] = value;
        return *this;
    }
    // A window system that draws nowhere.
    Options &offscreen() { return withEnv(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")); }
    // No display of any kind: a program that asks for one fails.
    Options &withoutDisplay()
    {
        return withEnv(QStringLiteral("DISPLAY"), QString())
            .withEnv(QStringLiteral("WAYLAND_DISPLAY"), QString())
            .withEnv(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    Options &within(int ms)
    {
        timeoutMs = ms;
        return *this;
    }
};

// Starts the program on a process of the caller's, which may then watch,
// kill or collect it.
void start(QProcess &process, const QStringList &args, const Options &options = {});
// Waits for the end; a run still going after the time allowed is killed.
Result finish(QProcess &process, int timeoutMs);

// A run started now and collected later.
class Started
{
public:
    explicit Started(const QStringList &args, const Options &options = {});
    QProcess &process() { return m_process; }
    Result finish() { return CliRun::finish(m_process, m_timeoutMs); }

private:
    QProcess m_process;
    int m_timeoutMs;
};

Result run(const QStringList &args, const Options &options = {});
Result run(const QStringList &args, const QDate &today);

// "--home HOME --user USER": the program folder and who signs in.
QStringList signedIn(const QString &home, const QString &user = QStringLiteral("admin"));

}
