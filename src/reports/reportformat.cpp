#include "reports/reportformat.h"
#include "base/moments.h"

#include <QDateTime>
#include <QSqlQuery>

namespace ReportFormat {

namespace {

QDateTime moment(const QVariant &stored)
{
    QDateTime dt = Moments::fromValue(stored);
    if (!dt.isValid() && !stored.isNull())
        dt = Moments::wallClock(QDate::fromString(stored.toString().trimmed().left(10), Qt::ISODate));
    return dt;
}

}

QString text(const QSqlQuery &q, const char *column)
{
    return q.value(QLatin1String(column)).toString().trimmed();
}

QString date(const QVariant &stored)
{
    return dateTime(stored, QStringLiteral("dd/MM/yyyy"));
}

QString dateTime(const QVariant &stored, const QString &format)
{
    const QDateTime dt = moment(stored);
    return dt.isValid() ? dt.toString(format) : QString();
}

QString status(const QString &letter)
{
    const QString l = letter.trimmed().toUpper();
    if (l == QLatin1String("A"))
        return QStringLiteral("Ativo");
    if (l == QLatin1String("S"))
        return QStringLiteral("Suspenso");
    if (l == QLatin1String("C"))
        return QStringLiteral("Cancelado");
    return letter;
}

QString imported(const QVariant &flag)
{
    return flag.toInt() == 0 ? QStringLiteral("Não") : QStringLiteral("Sim");
}

QString event(const QString &code)
{
    const QString c = code.trimmed().toUpper();
    if (c == QLatin1String("INC"))
        return QStringLiteral("Inclusão");
    if (c == QLatin1String("ALT"))
        return QStringLiteral("Alteração");
    if (c == QLatin1String("CAN"))
        return QStringLiteral("Cancelamento");
    if (c == QLatin1String("SUS"))
        return QStringLiteral("Suspensão");
    if (c == QLatin1String("REA"))
        return QStringLiteral("Reativação");
    if (c == QLatin1String("APR"))
        return QStringLiteral("Aprovação de Envio");
    return code;
}

QString origin(const QString &historicoSis)
{
    const QString h = historicoSis.trimmed();
    if (h == QLatin1String("1"))
        return QStringLiteral("Usuário");
    if (h == QLatin1String("2"))
        return QStringLiteral("Sistema");
    return historicoSis;
}

Joiner &Joiner::add(const QString &separator, const QString &part)
{
    const QString p = part.trimmed();
    if (p.isEmpty())
        return *this;
    if (!m_text.isEmpty())
        m_text += separator;
    m_text += p;
    return *this;
}

}
