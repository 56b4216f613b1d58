#pragma once
#include <QWidget>

class Database;
class Messenger;
class QPushButton;
class QSqlQueryModel;
class QTableView;
struct LoginState;

// Page "AprovaCertificados" of the shell: the certificates that are complete
// and not approved, several selectable at once, approved in one go.
class AprovaCertificadosPage : public QWidget
{
    Q_OBJECT
public:
    AprovaCertificadosPage(Database &db, Messenger &messenger, const LoginState &login, QWidget *parent = nullptr);

    // Called when the page is shown: runs the candidate list afresh.
    void enter();

    // "Aprova Certificado": approves the selected rows.
    void approveSelected();
    // "&Saida".
    void leavePage();

signals:
    void leave();

private:
    void refresh();

    Database &m_db;
    Messenger &m_messenger;
    const LoginState &m_login;
    QSqlQueryModel *m_model = nullptr;
    QTableView *candidateGrid = nullptr;
    QPushButton *approveButton = nullptr;
    QPushButton *exitButton = nullptr;
};
