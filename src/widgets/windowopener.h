#pragma once
#include <QString>

class BandedReport;
class Database;
class Messenger;
class QWidget;
struct LoginState;

// How windows open the windows and reports of other subsystems, which they do
// not know: the program implements it and hands it down. Each call returns
// when the window it opens closes; failures are told through messenger.
class WindowOpener
{
public:
    virtual ~WindowOpener() = default;
    // "Importa dados Arquivo TXT".
    virtual void importFile(QWidget *parent, Database &db, const QString &userCode, Messenger &messenger) = 0;
    // "Certificados Incompletos" and "Certificados Prontos para Aprovação".
    virtual void incompleteCertificates(QWidget *parent, Database &db, const LoginState &login,
                                        Messenger &messenger) = 0;
    virtual void certificatesReadyForApproval(QWidget *parent, Database &db, const LoginState &login,
                                              Messenger &messenger) = 0;
    // "Relatórios de Certificados", its filters choosing companies and
    // products from the maintenance lists.
    virtual void certificateReports(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger) = 0;
    // A report in the print preview.
    virtual void preview(const BandedReport &report, QWidget *parent, Messenger &messenger) = 0;
    // The user list of "Cadastro de Usuários".
    virtual void previewUserList(Database &db, const QString &userName, QWidget *parent, Messenger &messenger) = 0;
};
