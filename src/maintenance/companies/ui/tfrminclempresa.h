#pragma once
#include "maintenance/companies/companyinclusion.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Inclusão de Empresa": registers a company in EMPRESA.
class TFrmInclEmpresa : public QDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; the key of the company registered, or nothing
    // when the user cancelled. `userCode` goes into UsuResp.
    static std::optional<CompanyKey> include(QWidget *parent, Database &db, Messenger &messenger,
                                             const QString &userCode);

    TFrmInclEmpresa(Database &db, Messenger &messenger, const QString &userCode, QWidget *parent = nullptr);

    std::optional<CompanyKey> included() const { return m_included; }

    void CbPaisChange();
    void RgTipoPessoaClick();
    void BtOkClick();

private:
    void buildUi();
    QLineEdit *box(const QString &name, const QString &column);
    NewCompany typed() const;

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    std::optional<CompanyKey> m_included;

    QComboBox *CbPais = nullptr;
    QRadioButton *RbFisica = nullptr;
    QRadioButton *RbJuridica = nullptr;
    QLabel *LbCNPJ = nullptr;
    QLineEdit *EdCNPJ = nullptr;
    QLabel *LbRazaoSocial = nullptr;
    QLineEdit *EdRazaoSocial = nullptr;
    QLineEdit *EdNomeFantasia = nullptr;
    QLineEdit *EdEndereco = nullptr;
    QLineEdit *EdNumero = nullptr;
    QLineEdit *EdComplemento = nullptr;
    QLineEdit *EdCEP = nullptr;
    QLineEdit *EdBairro = nullptr;
    QLineEdit *EdCidade = nullptr;
    QComboBox *CbUF = nullptr;
    QLineEdit *EdTelefone = nullptr;
    QLineEdit *EdFax = nullptr;
    QLineEdit *EdEmail = nullptr;
};
