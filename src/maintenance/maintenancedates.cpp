#include "maintenance/maintenancedates.h"
#include "base/moments.h"

#include "base/messenger.h"

namespace MaintenanceDates {

bool isBlank(const QString &box)
{
    for (const QChar c : box)
        if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char('_'))
            return false;
    return true;
}

bool hasBlankPosition(const QString &box)
{
    if (box.size() != 10)
        return true;
    for (int i = 0; i < box.size(); ++i) {
        if (i == 2 || i == 5)
            continue;
        if (!box.at(i).isDigit())
            return true;
    }
    return false;
}

QDate parse(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() != 10 || t.at(2) != QLatin1Char('/') || t.at(5) != QLatin1Char('/'))
        return {};
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!t.at(i).isDigit())
            return {};
    return QDate(t.mid(6, 4).toInt(), t.mid(3, 2).toInt(), t.left(2).toInt());
}

QString boxText(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : BlankBox;
}

QString boxText(const QDateTime &moment)
{
    return moment.isValid() ? boxText(moment.date()) : BlankBox;
}

QDateTime atMidnight(const QDate &date)
{
    return Moments::wallClock(date);
}

QString issueProblem(const QString &issueBox, const QDate &today)
{
    if (isBlank(issueBox))
        return {};
    if (hasBlankPosition(issueBox))
        return FormatMessage;
    const QDate d = parse(issueBox);
    if (!d.isValid() || d > today || d.year() >= YearLimit)
        return IssueMessage;
    return {};
}

QString validityProblem(const QString &validityBox, const QString &issueBox, Panel panel)
{
    if (isBlank(validityBox))
        return {};
    if (hasBlankPosition(validityBox))
        return FormatMessage;
    const QDate valid = parse(validityBox);
    const QString message = panel == Panel::NewCertificate ? ValidityMessageNew : ValidityMessageModify;
    if (!valid.isValid() || valid.year() >= YearLimit)
        return message;
    // The modify panel tests the range only against a filled issue date.
    if (panel == Panel::Modify && isBlank(issueBox))
        return {};
    const QDate issue = parse(issueBox);
    if (!issue.isValid() || valid < issue)
        return message;
    return {};
}

const DayMessages &entryDateMessages()
{
    static const DayMessages m{QStringLiteral("É necessário informar a  data de entrada."),
                               QStringLiteral("Data inválida."),
                               QStringLiteral("A data de entrada é menor que a data de emissão do certificado."),
                               QStringLiteral("A data de entrada é maior que a data atual.")};
    return m;
}

const DayMessages &statusDateMessages()
{
    static const DayMessages m{QStringLiteral("É necessário informar a  data do Status."),
                               QStringLiteral("Data inválida."),
                               QStringLiteral("Data do Status menor do que a data de Emisão do Certificado."),
                               QStringLiteral("Data do Status maior que a data atual.")};
    return m;
}

QString dayProblem(const QString &text, const QDateTime &issue, const QDate &today, const DayMessages &messages)
{
    if (text.trimmed().isEmpty() || isBlank(text))
        return messages.blank;
    const QDate d = parse(text);
    if (!d.isValid())
        return messages.invalid;
    if (issue.isValid() && d < issue.date())
        return messages.beforeIssue;
    if (d > today)
        return messages.afterToday;
    return {};
}

bool checkEntryDate(Messenger &messenger, const QString &text, const QDateTime &issue)
{
    const QString problem = dayProblem(text, issue, QDate::currentDate(), entryDateMessages());
    if (problem.isEmpty())
        return true;
    messenger.error(problem);
    return false;
}

}
