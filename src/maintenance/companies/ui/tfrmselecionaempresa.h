#pragma once
#include "maintenance/companies/companyselection.h"
#include "maintenance/selectionresults.h"
#include "maintenance/ui/selectiondialog.h"

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// "Seleciona Empresa": finds a company of EMPRESA; "Nova..." registers one
// on the spot and chooses it.
class TFrmSelecionaEmpresa : public SelectionDialog
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

    void applyFilter() override;
    void includeNew() override;
    void chooseCurrent() override;
    void orderBy(int column) override;
    // A person kind picked: the tax-id mask and the name captions follow it.
    void kindChanged();

private:
    CompanySelection::Kind kind() const;
    void clearFields();

    QString m_user;
    std::optional<SelectedCompany> m_chosen;
    CompanySelection::Filter m_filter; // of the list shown

    QComboBox *m_countryList = nullptr;
    QRadioButton *m_naturalPerson = nullptr;
    QRadioButton *m_legalEntity = nullptr;
    QLabel *m_taxIdLabel = nullptr;
    QLineEdit *m_taxIdField = nullptr;
    QLabel *m_tradeNameLabel = nullptr;
    QLineEdit *m_tradeNameField = nullptr;
    QLineEdit *m_legalNameField = nullptr;
};
