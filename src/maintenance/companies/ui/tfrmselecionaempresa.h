#pragma once
#include "maintenance/companies/companyselection.h"
#include "maintenance/selectionresults.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SelectionGrid;

// "Seleciona Empresa": finds a company of EMPRESA; "Nova..." registers one
// on the spot and chooses it.
class TFrmSelecionaEmpresa : public QDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; the chosen company, or nothing when cancelled.
    // `offerNew` false hides "Nova..." (searching the company table, the
    // report and certificate filters); `userCode` goes into UsuResp of a
    // company registered with "Nova...".
    static std::optional<SelectedCompany> choose(QWidget *parent, Database &db, Messenger &messenger,
                                                 const QString &userCode, bool offerNew = true);
    static inline const QString NenhumaNova = QStringLiteral("Nenhum Empresa Nova Incluida");

    TFrmSelecionaEmpresa(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                         QWidget *parent = nullptr);

    std::optional<SelectedCompany> chosen() const { return m_chosen; }

    void BtFiltraClick();
    void BtNovaClick();
    void BtOkClick();
    void GridTitleClick(int column);
    void RgTipoPessoaClick();

private:
    void buildUi();
    void run(const SelectionSql::Statement &statement);
    CompanySelection::Kind kind() const;
    void clearFields();

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    std::optional<SelectedCompany> m_chosen;
    CompanySelection::Filter m_filter; // of the list shown

    QComboBox *CbPais = nullptr;
    QRadioButton *RbFisica = nullptr;
    QRadioButton *RbJuridica = nullptr;
    QLabel *LbCNPJ = nullptr;
    QLineEdit *EdCNPJ = nullptr;
    QLabel *LbNomeFantasia = nullptr;
    QLineEdit *EdNomeFantasia = nullptr;
    QLineEdit *EdRazaoSocial = nullptr;
    QLabel *LbQuantidade = nullptr;
    QPushButton *BtNova = nullptr;
    SelectionGrid *GrdEmpresas = nullptr;
};
