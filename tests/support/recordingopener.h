#pragma once
#include "db/database.h"
#include "shell/loginstate.h"
#include "widgets/windowopener.h"
#include <QList>
#include <QStringList>

// Records what a window asks of the other subsystems instead of opening them.
class RecordingOpener : public WindowOpener
{
public:
    void importFile(QWidget *, Database &db, const QString &userCode, Messenger &) override
    {
        record("importa", db, userCode);
    }
    void incompleteCertificates(QWidget *, Database &db, const LoginState &login, Messenger &) override
    {
        record("incompletos", db, login.userCode);
    }
    void certificatesReadyForApproval(QWidget *, Database &db, const LoginState &login, Messenger &) override
    {
        record("prontos", db, login.userCode);
    }
    void certificateReports(QWidget *, Database &db, const LoginState &login, Messenger &) override
    {
        record("relatorios", db, login.userCode);
    }
    void preview(const BandedReport &, QWidget *, Messenger &) override { calls << "preview"; }
    void previewUserList(Database &db, const QString &userName, QWidget *owner, Messenger &m) override
    {
        record("usuarios", db, userName);
        parent = owner;
        messenger = &m;
    }

    QStringList calls;
    QList<Database *> databases;
    QWidget *parent = nullptr;
    Messenger *messenger = nullptr;

private:
    void record(const char *what, Database &db, const QString &who)
    {
        calls << QLatin1String(what) + QLatin1Char(' ') + who;
        databases << &db;
    }
};
