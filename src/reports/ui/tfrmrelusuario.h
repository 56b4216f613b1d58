#pragma once
#include "reports/bandedreport.h"

#include <QString>

class Database;
class Messenger;
class QWidget;

// The user list report ("Cadastro de Usuários").
class TFrmRelUsuario
{
public:
    // Reads USU_LOCAL. Raises DbError.
    static BandedReport build(Database &db, const QString &userName);
    // Print preview; returns when the preview is closed.
    static void preview(Database &db, const QString &userName, QWidget *parent, Messenger &messenger);
    static bool exportPdf(Database &db, const QString &userName, const QString &path);
};
