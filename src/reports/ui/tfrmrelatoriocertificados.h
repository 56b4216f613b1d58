#pragma once
#include "reports/certificateselection.h"
#include "shell/loginstate.h"

#include <QDialog>
#include <functional>
#include <optional>

class CertificateSelectionModel;
class Database;
class Messenger;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// A company chosen for the filter, as the company selection dialog hands it.
struct CompanyChoice
{
    QString codigoPais, idEmpresa, nome;
};
// A product chosen for the filter.
struct ProductChoice
{
    QString marcaProd, modeloProd;
    int importado = 0;
};
// The selection dialogs the window opens for "Seleciona Empresa..." (with its
// "Nova..." button hidden) and "Seleciona Produto...". A chooser left empty
// keeps its button disabled. companyDetails shows the chosen company's
// details ("Detalhes..."); left empty, the button does nothing.
struct ReportChoosers
{
    std::function<std::optional<CompanyChoice>(QWidget *parent)> company;
    std::function<std::optional<ProductChoice>(QWidget *parent)> product;
    std::function<void(QWidget *parent, const QString &country, const QString &id)> companyDetails;
};

// "Relatórios de Certificados": filters the certificates and previews the
// mirror, the mirror with event log and the list of the selection.
class TFrmRelatorioCertificados : public QDialog
{
    Q_OBJECT
public:
    TFrmRelatorioCertificados(Database &db, const LoginState &login, Messenger &messenger,
                              const ReportChoosers &choosers = {}, QWidget *parent = nullptr);
    ~TFrmRelatorioCertificados() override;

    // Opens the window modally; returns when it closes.
    static void open(QWidget *parent, Database &db, const LoginState &login, Messenger &messenger,
                     const ReportChoosers &choosers = {});

    // The filter as the controls hold it now.
    CertificateFilter currentFilter() const;
    // The filter of the last "Filtra Certificado" (what the reports print).
    const CertificateFilter &appliedFilter() const { return m_applied; }
    void setCompany(const CompanyChoice &company);
    void setProduct(const ProductChoice &product);

    void applyFilter();
    void clearFilter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void fillClasses(QComboBox *box, const QList<ClassEntry> &classes);
    void setReportButtons(bool enabled);
    void chooseCompany();
    void showCompanyDetails();
    void chooseProduct();
    void preview(int report);

    Database &m_db;
    LoginState m_login;
    Messenger &m_messenger;
    ReportChoosers m_choosers;
    CertificateFilter m_applied;
    std::optional<CompanyChoice> m_company;
    std::optional<ProductChoice> m_product;
    bool m_shown = false;

    QLineEdit *m_numberEdit = nullptr;
    QComboBox *m_certificateClassBox = nullptr;
    QComboBox *m_productClassBox = nullptr;
    QLineEdit *m_companyEdit = nullptr;
    QPushButton *m_chooseCompanyButton = nullptr;
    QPushButton *m_companyDetailsButton = nullptr;
    QLineEdit *m_productEdit = nullptr;
    QPushButton *m_chooseProductButton = nullptr;
    QComboBox *m_serviceClassBox = nullptr;
    QComboBox *m_statusBox = nullptr;
    QComboBox *m_approvedBox = nullptr;
    QComboBox *m_importedBox = nullptr;
    QPushButton *m_filterButton = nullptr;
    QPushButton *m_clearButton = nullptr;
    QTableView *m_grid = nullptr;
    QLabel *m_countLabel = nullptr;
    QPushButton *m_mirrorButton = nullptr;
    QPushButton *m_mirrorLogButton = nullptr;
    QPushButton *m_listButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    CertificateSelectionModel *m_model = nullptr;
};
