#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

class Messenger;

// Dates typed in the maintenance window's masked boxes ("dd/mm/yyyy", a blank
// position shown as a space, so an untouched box reads "  /  /    ").
namespace MaintenanceDates {

inline const QString BlankBox = QStringLiteral("  /  /    ");
inline const QString EntryCaption = QStringLiteral("Erro de entrada de dados");
inline const QString FormatMessage = QStringLiteral("O formato de data deve ser dd/mm/aaaa.");
inline const QString IssueMessage = QStringLiteral(
    "Formato de data inválido ou data superior a data atual! Tente novamente.");
inline const QString ValidityMessageNew = QStringLiteral(
    "Formato de data inválido ou data inferior a data de emissao do certificado! Tente novamente.");
inline const QString ValidityMessageModify = QStringLiteral(
    "Formato de data inválido ou data inferior a data de emissão do certificado! Tente novamente.");
// Dates from this year on are refused as typing slips.
constexpr int YearLimit = 2080;

// Nothing typed (only blanks and separators, or empty).
bool isBlank(const QString &box);
// Some position of the box is still blank.
bool hasBlankPosition(const QString &box);
// Strict dd/mm/yyyy; an invalid QDate otherwise.
QDate parse(const QString &text);
QString boxText(const QDate &date);
QString boxText(const QDateTime &moment);
// The stored form of a typed date: midnight of that day.
QDateTime atMidnight(const QDate &date);

enum class Panel { NewCertificate, Modify };

// What leaving a date box found: empty when the box is accepted, else the
// message to show (caption EntryCaption) before the focus goes back.
QString issueProblem(const QString &issueBox, const QDate &today);
QString validityProblem(const QString &validityBox, const QString &issueBox, Panel panel);

// The checks of a date that an item (company, product) or a status took
// effect on: blank, not a date, before the certificate's issue, after today.
struct DayMessages
{
    QString blank;
    QString invalid;
    QString beforeIssue;
    QString afterToday;
};
const DayMessages &entryDateMessages();
const DayMessages &statusDateMessages();
// Empty when the text passes; the first failing message otherwise. An
// invalid issue date skips the issue test. Whole days are compared.
QString dayProblem(const QString &text, const QDateTime &issue, const QDate &today, const DayMessages &messages);
// The entry date of a company or product: the problem shown as an error,
// false then (the caller stops).
bool checkEntryDate(Messenger &messenger, const QString &text, const QDateTime &issue);

}
