#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class Messenger;
struct RemessaWork;


// The verdict typed in as the regulator's confirmation code.
namespace ManualResult {

constexpr int MaxCodeLength = 20;

struct Code
{
    QString number; // the ten characters before the verdict
    QString verdict; // "OK" or "NO"
};

// Decodes a typed code: any leading text, the remittance number, the
// verdict at the very end. Nothing when it cannot be a result code.
std::optional<Code> decode(const QString &typed);

// The code when it belongs to this remittance (same number and type) and
// the remittance waits for its result; nothing otherwise.
std::optional<Code> check(Database &db, const RemessaWork &work, const QString &typed);

// "Remessa Válida" / "Remessa Inválida", as the confirmation shows it.
QString verdictText(const QString &verdict);
// The remark of the event row: the manual mark, then each line after a
// blank, cut to the column.
QString remark(const QStringList &lines);
// Characters the typed remarks may take (lines counted with the line break
// between them): the column less the manual mark.
int remarkRoom();
// Why the remarks do not fit the column, naming it; empty when they fit.
QString remarkRefusal(const QStringList &lines);

// Records the verdict. "OK" first folds the sent package into the replica;
// the fold and the event row are one transaction, and the package is
// deleted once it is committed. On failure nothing is written, the package
// stays, the two error boxes are shown and false is returned.
bool apply(Database &db, Messenger &messenger, const RemessaWork &work, const QString &verdict,
           const QStringList &remarkLines);

}
