#pragma once
#include <QString>

class Database;
class Messenger;
class QWidget;

// How the shell shows the reports of the report subsystem, which sits above
// it: the program installs the implementation at start-up.
class ReportOpener
{
public:
    virtual ~ReportOpener() = default;
    // The user list ("Cadastro de Usuários") in the print preview; returns
    // when the preview is closed. Failures are told through messenger.
    virtual void previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger) = 0;
};
