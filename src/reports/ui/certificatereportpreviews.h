#pragma once

class Database;
class Messenger;
class QWidget;
struct LoginState;

// The certificate lists opened straight from the maintenance window's menu
// "Relatórios"; each returns when its preview closes. Errors go through the
// common exception handler.
namespace CertificateReportPreviews {

// "Certificados Incompletos"
void incompletos(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger);
// "Certificados Prontos para Aprovação"
void prontos(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger);

}
