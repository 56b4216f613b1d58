#pragma once
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/tables/ui/keyedtablepanel.h"

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Panel "TabEmpresa": the company table, browsed in a grid, with a detail
// group that is edited on inclusion and edit.
class TabEmpresaPanel : public KeyedTablePanel<CompanyKey>
{
    Q_OBJECT
public:
    explicit TabEmpresaPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    void setCompanyChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    std::optional<CompanyKey> currentKey() const override;

    // A country chosen: a foreign company is a legal entity, a Brazilian
    // one needs CNPJ and CEP.
    void countryChanged();
    // A person kind picked: the fields of the other kind hide and clear.
    void kindChanged();

protected:
    SelectionSql::Statement listStatement() const override;
    void loadLists() override;
    void showRecord() override;
    void clearFields() override;
    QWidget *startInclusion() override;
    QWidget *startEdit() override;
    std::optional<int> store() override;
    void browsingFields() override;
    void editingFields() override;

private:
    void fill(const NewCompany &company);
    NewCompany typed() const;
    bool brazilChosen() const;

    bool m_lockCountry = false, m_lockTaxId = false, m_lockName = false;

    QComboBox *m_countryList = nullptr;
    QRadioButton *m_naturalPerson = nullptr;
    QRadioButton *m_legalEntity = nullptr;
    QLabel *m_countryLabel = nullptr;
    QLabel *m_cnpjLabel = nullptr;
    QLineEdit *m_cnpjField = nullptr;
    QLabel *m_cpfLabel = nullptr;
    QLineEdit *m_cpfField = nullptr;
    QLabel *m_legalNameLabel = nullptr;
    QLineEdit *m_legalNameField = nullptr;
    QLabel *m_personNameLabel = nullptr;
    QLineEdit *m_personNameField = nullptr;
    QLabel *m_tradeNameLabel = nullptr;
    QLineEdit *m_tradeNameField = nullptr;
    QLineEdit *m_streetField = nullptr;
    QLineEdit *m_numberField = nullptr;
    QLineEdit *m_complementField = nullptr;
    QLabel *m_cepLabel = nullptr;
    QLineEdit *m_cepField = nullptr;
    QLineEdit *m_districtField = nullptr;
    QLineEdit *m_cityField = nullptr;
    QComboBox *m_stateList = nullptr;
    QLineEdit *m_phoneField = nullptr;
    QLineEdit *m_faxField = nullptr;
    QLineEdit *m_emailField = nullptr;
};
