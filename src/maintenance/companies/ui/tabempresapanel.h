#pragma once
#include "maintenance/companies/companyinclusion.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SelectionGrid;

// Panel "TabEmpresa": the company table, browsed in a grid, with a detail
// group that is edited on inclusion and edit.
class TabEmpresaPanel : public QWidget
{
    Q_OBJECT
public:
    using CompanyChooser = std::function<std::optional<CompanyKey>()>;

    explicit TabEmpresaPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    // How "&Pesquisar" picks a company.
    void setCompanyChooser(CompanyChooser chooser) { m_chooser = std::move(chooser); }
    bool isEditing() const { return m_editing; }
    // The company of the grid's current row, if any.
    std::optional<CompanyKey> currentKey() const;

    // The panel was entered: the table is opened on its first row.
    void entered();

    // Handlers, named after their controls.
    void btnIncluirClick();
    void btnEditarClick();
    void btnExcluirClick();
    void btnOkClick();
    void btnCancelaClick();
    void btnPesquisarClick();
    void btnSaidaClick();
    void CbPaisChange();
    void RgTipoPessoaClick();

signals:
    void leave();

private:
    void buildUi();
    void reopen(const std::optional<CompanyKey> &at);
    void showCurrent();
    void fill(const NewCompany &company);
    void clearFields();
    NewCompany typed() const;
    void setBrowsing();
    void setEditState();
    bool brazilChosen() const;

    MaintenanceContext &m_ctx;
    CompanyChooser m_chooser;
    bool m_editing = false;
    std::optional<CompanyKey> m_edited; // the company being edited; none on an inclusion
    bool m_lockCountry = false, m_lockTaxId = false, m_lockName = false;

    SelectionGrid *DBGridEmpresa = nullptr;
    QGroupBox *GroupDetalheEmpresa = nullptr;
    QComboBox *CbPais = nullptr;
    QWidget *RgTipoPessoa = nullptr;
    QRadioButton *RbFisica = nullptr;
    QRadioButton *RbJuridica = nullptr;
    QLabel *LbPais = nullptr;
    QLabel *LbCNPJ = nullptr;
    QLineEdit *EdCNPJ = nullptr;
    QLabel *LbCPF = nullptr;
    QLineEdit *EdCPF = nullptr;
    QLabel *LbRazaoSocial = nullptr;
    QLineEdit *EdRazaoSocial = nullptr;
    QLabel *LbNomePessoaFisica = nullptr;
    QLineEdit *EdNomePessoaFisica = nullptr;
    QLabel *LbNomeFantasia = nullptr;
    QLineEdit *EdNomeFantasia = nullptr;
    QLineEdit *EdEndereco = nullptr;
    QLineEdit *EdNumero = nullptr;
    QLineEdit *EdComplemento = nullptr;
    QLabel *LbCEP = nullptr;
    QLineEdit *EdCEP = nullptr;
    QLineEdit *EdBairro = nullptr;
    QLineEdit *EdCidade = nullptr;
    QComboBox *CbUF = nullptr;
    QLineEdit *EdTelefone = nullptr;
    QLineEdit *EdFax = nullptr;
    QLineEdit *EdEmail = nullptr;
    QPushButton *btnIncluir = nullptr;
    QPushButton *btnEditar = nullptr;
    QPushButton *btnExcluir = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancela = nullptr;
    QPushButton *btnPesquisar = nullptr;
    QPushButton *btnSaida = nullptr;
};
