#pragma once
#include "reports/expiringcertificates.h"

#include <QWidget>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class WindowOpener;
struct LoginState;

// Page "CertificadosVencer" of the shell: the active certificates whose
// validity ends within the chosen number of days, soonest first. A
// double-click asks for the certificate to be opened in the maintenance
// window.
class CertificadosVencerPage : public QWidget
{
    Q_OBJECT
public:
    CertificadosVencerPage(Database &db, Messenger &messenger, const LoginState &login, WindowOpener &opener,
                           QWidget *parent = nullptr);

    // Called when the page is shown: the list as of today.
    void enter();
    // The horizon typed or chosen; -1 while it is not a number.
    int days() const;
    void setDays(int days);
    const QList<ExpiringCertificates::Row> &rows() const { return m_rows; }

    // What the controls do.
    void showReport();
    void leavePage();

signals:
    void leave();
    void openCertificate(const QString &sigla, const QString &numero);

private:
    void refresh();

    Database &m_db;
    Messenger &m_messenger;
    const LoginState &m_login;
    WindowOpener &m_opener;
    QList<ExpiringCertificates::Row> m_rows;
    QStandardItemModel *m_model = nullptr;
    QComboBox *daysList = nullptr;
    QTableView *expiringGrid = nullptr;
    QLabel *totalLabel = nullptr;
    QPushButton *reportButton = nullptr;
    QPushButton *exitButton = nullptr;
};
