#pragma once
// Runs corvane-cli as a user would, signed in with the password "admin",
// with the given day as today when one is given.
#include "base/clock.h"

#include <QDate>
#include <QProcess>
#include <QStringList>

namespace CliRun {

struct Result
{
    int code = -1; // -1: did not finish
    QString out, err;
};

inline Result run(const QStringList &args, const QDate &today = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_SENHA"), QStringLiteral("admin"));
    if (today.isValid())
        env.insert(QLatin1String(Clock::TodayVariable), today.toString(Qt::ISODate));
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(CORVANE_CLI_PATH), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}
