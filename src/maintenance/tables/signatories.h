#pragma once
#include <QList>
#include <QString>

class Database;
class Messenger;

// The signatories offered on a new certificate (SIGNATARIOS). At most one is
// the default, which the new certificate proposes.
namespace Signatories {

inline const QString SemCertificador = QStringLiteral("As configuraçãoes do Certificador não foram cadastradas.");
inline const QString JaExiste = QStringLiteral("Este signatário já existe !!! ");
inline const QString NomeObrigatorio = QStringLiteral("O nome do signatário é de preenchimento obrigatório.");

struct Signatory
{
    int id = 0; // ID_Signatario; 0 for one not yet stored
    QString name;
    bool isDefault = false;
};

// Every signatory, the default first, then by name.
QList<Signatory> list(const Database &db);
// The configured certifier code; empty when the body is not configured.
QString certifierCode(const Database &db);

enum class Action { Include, Edit, Remove };

// Applies one change in one transaction: a new signatory of the configured
// certifier, a changed name or default flag, or a removal. A signatory made
// the default takes the mark from the one that had it. Refusals (no
// certifier, blank or repeated name) and failures are told through the
// messenger; true when written.
bool apply(Database &db, Messenger &messenger, Action action, const Signatory &signatory);

}
