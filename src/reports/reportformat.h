#pragma once
#include <QString>
#include <QVariant>

class QSqlQuery;

// Display forms shared by the certificate reports.
namespace ReportFormat {

// A column of the current row as text, without surrounding blanks.
QString text(const QSqlQuery &q, const char *column);
// A stored moment as dd/mm/yyyy; blank for NULL or unreadable values.
QString date(const QVariant &stored);
// With the given QDateTime format ("dd/MM/yy hh:mm:ss" and the like).
QString dateTime(const QVariant &stored, const QString &format);
// "A", "S", "C" as "Ativo", "Suspenso", "Cancelado"; other letters as stored.
QString status(const QString &letter);
// "Não" for 0, "Sim" otherwise.
QString imported(const QVariant &flag);
// INC, ALT, CAN, SUS, REA, APR as their Portuguese names.
QString event(const QString &code);
// HistoricoSis "1" as "Usuário", "2" as "Sistema".
QString origin(const QString &historicoSis);

// Texts joined with their separators, each part only when it is not blank;
// a separator is left out before the first part printed.
class Joiner
{
public:
    Joiner &add(const QString &separator, const QString &part);
    QString text() const { return m_text; }

private:
    QString m_text;
};

}
