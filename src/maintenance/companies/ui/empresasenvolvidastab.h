#pragma once
#include "maintenance/certificates/ui/certificatetab.h"
#include "maintenance/companies/companycascade.h"
#include "maintenance/companies/companylinks.h"

#include <functional>
#include <optional>

class MaskedDateEdit;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;
class StatusGroup;

// Tab "Empresas Envolvidas": the companies of the open certificate with
// their roles, entry dates and statuses. Browse state shows the grid and the
// status buttons; edit state (an inclusion or an edit) the company's group
// with "Aplicar" and "Cancelar".
class EmpresasEnvolvidasTab : public CertificateTab
{
    Q_OBJECT
public:
    using CompanyChooser = std::function<std::optional<SelectedCompany>()>;
    using CascadeAction = std::function<void(const CascadeRequest &)>;

    EmpresasEnvolvidasTab(MaintenanceContext &context, QWidget *parent = nullptr);

    QString title() const override { return QStringLiteral("Empresas Envolvidas"); }
    void openCertificate(const OpenCertificate &certificate) override;
    void closeCertificate() override;
    QString leaveRefusal() const override;
    bool hasCurrentRow() const override;
    std::optional<TabItem> currentItem() const override;
    bool offersDocuments() const override { return false; }

    // How "Seleciona Empresa" picks a company (the company selection by default).
    void setCompanyChooser(CompanyChooser chooser) { m_chooser = std::move(chooser); }
    // How a company with active items is suspended or cancelled (the
    // propagation dialog by default).
    void setCascadeAction(CascadeAction action) { m_cascade = std::move(action); }

    bool isEditing() const { return m_mode != Mode::Browse; }

    // What the controls do.
    void includeNew();
    void editCurrent();
    void deleteCurrent();
    void chooseCompany();
    void applyEdit();
    void cancelEdit();
    void showCompanyDetails();
    void changeCompanyStatus(const QString &letter);

private:
    enum class Mode { Browse, Insert, Edit };

    void buildUi();
    void setMode(Mode mode);
    // Opens the list again, on the given company when it is still there.
    void reload(const std::optional<CompanyKey> &locate = std::nullopt);
    std::optional<CompanyKey> currentKey() const;
    void showCurrent();
    void showLink(const CompanyLink &link);
    void clearBoxes();
    CompanyLinks links() const;

    MaintenanceContext &m_ctx;
    OpenCertificate m_cert;
    bool m_open = false;
    Mode m_mode = Mode::Browse;
    CompanyLink m_draft;
    std::optional<CompanyKey> m_detailKey;
    CompanyChooser m_chooser;
    CascadeAction m_cascade;

    SelectionGrid *companyGrid = nullptr;
    QPushButton *includeButton = nullptr;
    QPushButton *editButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QGroupBox *companyBox = nullptr;
    QLineEdit *countryField = nullptr;
    QLineEdit *cnpjField = nullptr;
    QLineEdit *nameField = nullptr;
    QComboBox *roleList = nullptr;
    MaskedDateEdit *entryDateField = nullptr;
    QLineEdit *entryDateShown = nullptr;
    QPushButton *chooseButton = nullptr;
    QPushButton *applyButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *detailsButton = nullptr;
    StatusGroup *m_status = nullptr;
};
