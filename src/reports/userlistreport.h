#pragma once
#include "reports/bandedreport.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// The user list report: one line per user of USU_LOCAL, the
// rights shown as "Sim"/"Não".
namespace UserListReport {

QString title(); // "Cadastro de Usuários"
QStringList headers(); // "Sigla", "Nome do Usuário", then the seven rights
// Ordered by code. Raises DbError.
QList<QStringList> rows(Database &db);
// The report itself. Raises DbError.
BandedReport build(Database &db, const QString &userName);

}
