#include "support/clirun.h"

#include "base/clock.h"

namespace CliRun {

void start(QProcess &process, const QStringList &args, const Options &options)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    std::map<QString, QString> vars = options.env;
    vars.emplace(QStringLiteral("CORVANE_SENHA"), options.password);
    if (options.today.isValid())
        vars.emplace(QLatin1String(Clock::TodayVariable), options.today.toString(Qt::ISODate));
    for (const auto &[name, value] : vars) {
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(options.program, args);
}

Result finish(QProcess &process, int timeoutMs)
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.error() == QProcess::FailedToStart)
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Started::Started(const QStringList &args, const Options &options)
    : m_timeoutMs(options.timeoutMs)
{
    start(m_process, args, options);
}

Result run(const QStringList &args, const Options &options)
{
    return Started(args, options).finish();
}

Result run(const QStringList &args, const QDate &today)
{
    Options options;
    options.today = today;
    return run(args, options);
}

QStringList signedIn(const QString &home, const QString &user)
{
    return {QStringLiteral("--home"), home, QStringLiteral("--user"), user};
}

}
