#pragma once
#include "shell/userstore.h"

#include <QList>
#include <QWidget>
#include <functional>

class Messenger;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class ReportOpener;
class TDMCapaSistema;
struct LoginState;

// Page "CadastroUsuarios" of the shell: the user registry.
class CadastroUsuariosPage : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Browsing, Adding, Changing };

    CadastroUsuariosPage(TDMCapaSistema &dm, Messenger &messenger, ReportOpener &reports, const LoginState &login,
                         QWidget *parent = nullptr);

    // Called when the page is shown: reads USU_LOCAL, browsing.
    void enter();
    Mode mode() const { return m_mode; }
    // Shows the user list report; by default through the report opener.
    void setListing(std::function<void()> listing) { m_listing = std::move(listing); }
    // Moves the grid to the user with this code (case-insensitive).
    bool selectUser(const QString &sigla);
    QString currentSigla() const;

signals:
    // "&Saída" and "&Listagem" return to the start page.
    void leave();

private:
    void build();
    QWidget *buildDataGroup();
    void reload(const QString &keepSigla = QString());
    void showRecord(const UserRecord &user);
    UserRecord readRecord() const;
    const UserRecord *current() const;
    void setEditing(bool editing);
    void browse(const QString &keepSigla = QString());
    QList<QCheckBox *> checks() const;

    void bbtIncluirClick();
    void bbtEditarClick();
    void bbtExcluirClick();
    void bbtOKClick();
    void bbtCancelaClick();
    void btnExitClick();
    void btnListagemClick();
    void defaultListing();

    TDMCapaSistema &m_dm;
    Messenger &m_messenger;
    ReportOpener &m_reports;
    const LoginState &m_login;
    std::function<void()> m_listing;
    Mode m_mode = Mode::Browsing;
    QString m_original;
    QList<UserRecord> m_users;

    QStandardItemModel *m_model = nullptr;
    QTableView *dbgUsuario = nullptr;
    QPushButton *bbtIncluir = nullptr;
    QPushButton *bbtEditar = nullptr;
    QPushButton *bbtExcluir = nullptr;
    QPushButton *btnExit = nullptr;
    QPushButton *btnListagem = nullptr;
    QGroupBox *grbDados = nullptr;
    QLineEdit *dbeSigla = nullptr;
    QLineEdit *dbeNome = nullptr;
    QLineEdit *edtSenha = nullptr;
    QLineEdit *edtConfirma = nullptr;
    QLabel *lblAcessos = nullptr;
    QCheckBox *dbcOCC = nullptr;
    QCheckBox *dbcDir = nullptr;
    QCheckBox *dbcUsuarios = nullptr;
    QCheckBox *dbcManBaseDados = nullptr;
    QCheckBox *dbcAtualizTabQuelora = nullptr;
    QCheckBox *dbcContRemessas = nullptr;
    QCheckBox *dbcAprovaCert = nullptr;
    QPushButton *bbtOK = nullptr;
    QPushButton *bbtCancela = nullptr;
};
