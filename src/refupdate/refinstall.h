#pragma once
#include <QString>
#include <QStringList>

class Database;

// Installing a reference-table package: unpacking it in the reception folder
// and merging its Paradox tables into the local reference tables.
namespace RefInstall {

extern const QString InstallError; // "Ocorreu um Erro na Atualização."
extern const QString InstallErrorBox; // the error box: the above and "Entre em contato com o suporte."
extern const QString Installed; // "A nova versão foi instalada sem problemas."
extern const QString ReinstalledOlder; // "A versão anterior foi instalada sem problemas."
extern const QString OlderFileMissing; // "O arquivo da versão anterior não foi encontrado."

// The one table stored with the columns the package gives it.
extern const QString AsDelivered;

// The twelve tables, in merge order.
const QStringList &tables();

// Unpacks receptionDir/fileName into a scratch folder of its own there (one
// installation at a time on a register) and merges every table of the twelve
// that the package holds (by field name, rows matched by key updated, others
// added; local rows the package lacks stay), then records the installation
// in CONTROLE_AUX. The table AsDelivered first takes the package's columns.
// A package field another table lacks is left out, named in *ignoredFields
// ("TABELA.Campo") and in the error log. All of it is one transaction: on
// failure nothing changes and *detail tells why (a table inside a folder or
// twice, a field of another type, a value that does not fit its column, a
// damaged or oversized package). The unpacked tables are removed in every
// case; the package stays.
bool install(Database &db, const QString &receptionDir, const QString &fileName, QString *detail = nullptr,
             QStringList *ignoredFields = nullptr);

// The result's line naming the ignored fields ("" when none).
QString ignoredText(const QStringList &ignored);

// The error box's text for a failure, with its reason on a last line.
QString errorBoxText(const QString &detail);

}
