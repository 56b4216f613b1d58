#pragma once
// Builders of fixed-column import records and files, for the import tests.

#include <QDate>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace ImportRecords {

// Places text at a 1-based column, padding the line with blanks as needed.
inline QString put(QString line, int column, const QString &text)
{
    if (line.size() < column - 1 + text.size())
        line = line.leftJustified(column - 1 + text.size(), QLatin1Char(' '));
    line.replace(column - 1, text.size(), text);
    return line;
}

inline QString day(int offsetFromToday)
{
    return QDate::currentDate().addDays(offsetFromToday).toString(QStringLiteral("dd/MM/yyyy"));
}

struct Certificate
{
    QString sigla = QStringLiteral("KEST");
    QString numcertif = QStringLiteral("CERT-001");
    QString status = QStringLiteral("A");
    QString idClasseProd = QStringLiteral("12");
    QString idClasseCertif = QStringLiteral("CC1");
    QString issue = day(-30);
    QString valid = day(300);
    QString statusDate = day(-10);
    QString lab = QStringLiteral("Laboratório Central");
    QString report = QStringLiteral("REL-77");
    QString signatories = QStringLiteral("Ana Souza");
    QString notes = QStringLiteral("Observação");

    QString firstLine() const
    {
        QString l;
        l = put(l, 1, sigla);
        l = put(l, 9, numcertif);
        l = put(l, 39, status);
        l = put(l, 40, idClasseProd);
        l = put(l, 50, idClasseCertif);
        l = put(l, 60, issue);
        l = put(l, 70, valid);
        l = put(l, 80, statusDate);
        return l;
    }
    QStringList lines(const QString &header = QStringLiteral("[CERTIFIC]")) const
    {
        return {header, firstLine(), lab, report, signatories, notes};
    }
};

struct StatusC
{
    QString sigla = QStringLiteral("KEST");
    QString numcertif = QStringLiteral("CERT-001");
    QString evento = QStringLiteral("ALT");
    QString historico = QStringLiteral("2");
    QString status = QStringLiteral("A");
    QString date = day(-5);
    QString justificativa = QStringLiteral("Alteração de dados");

    QStringList lines() const
    {
        QString l;
        l = put(l, 1, sigla);
        l = put(l, 9, numcertif);
        l = put(l, 39, evento);
        l = put(l, 42, historico);
        l = put(l, 43, status);
        l = put(l, 44, date);
        return {QStringLiteral("[STATUS_C]"), l, justificativa};
    }
};

// Writes lines with the given line end, as single-byte text (Latin-1, which
// CP1252 shares for the accented letters) unless utf8 is set.
inline bool writeFile(const QString &path, const QStringList &lines, bool utf8 = false, const char *lineEnd = "\r\n")
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString text = lines.join(QLatin1String(lineEnd)) + QLatin1String(lineEnd);
    f.write(utf8 ? text.toUtf8() : text.toLatin1());
    return true;
}

}
