#include "maintenance/certificates/ui/dadosgeraistab.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/certificates/ui/certificateform.h"
#include "maintenance/certificates/ui/statusgroup.h"
#include "maintenance/existencecheck.h"
#include "maintenance/maintenancedates.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

DadosGeraisTab::DadosGeraisTab(MaintenanceContext &context, QWidget *parent)
    : CertificateTab(parent),
      m_ctx(context)
{
    setObjectName(QStringLiteral("TabDadosGerais"));
    auto *layout = new QVBoxLayout(this);
    m_form = new CertificateForm({"DBEdit16", "DBEdit17", "DBLookupComboBox5", "DBLookupComboBox6", "MaskEdit1",
                                  "MaskEdit2", "DBEdit21", "DBEdit22", "DBComboBox2", "DBEdit74",
                                  QStringLiteral("Tipo de Certificado")},
                                 this);
    layout->addWidget(m_form);
    m_status = new StatusGroup(QStringLiteral("Status do Certificado"),
                               {QStringLiteral("DBText1"), QStringLiteral("sbAtivCertif"),
                                QStringLiteral("sbSuspCertif"), QStringLiteral("sbCanCertif")},
                               this);
    m_status->setObjectName(QStringLiteral("GroupStatusCertificado"));
    auto *statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(12, 0, 12, 0);
    statusRow->addWidget(m_status, 1);
    layout->addLayout(statusRow);
    layout->addStretch();

    saveButton = DialogParts::button(this, QStringLiteral("btnSalvaGeral"), QStringLiteral("Salva"));
    cancelButton = DialogParts::button(this, QStringLiteral("BitBtn16"), QStringLiteral("Cancela"));
    layout->addLayout(DialogParts::buttonRow(saveButton, cancelButton));

    cancelButton->setProperty(MaskedDateEdit::SkipsDateCheck, true);
    Messenger &msg = m_ctx.messenger;
    connect(saveButton, &QPushButton::clicked, this, guarded(msg, [this] { saveGeneral(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelEdit(); }));
    connect(m_form->emissao, &MaskedDateEdit::left, this, guarded(msg, [this] { checkIssueDate(); }));
    connect(m_form->validade, &MaskedDateEdit::left, this, guarded(msg, [this] { checkValidityDate(); }));
    connect(m_status, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { changeStatus(letter); }); });
    closeCertificate();
}

void DadosGeraisTab::openCertificate(const OpenCertificate &certificate)
{
    CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
    const auto opened = service.open(certificate.key);
    if (!opened) {
        closeCertificate();
        return;
    }
    m_open = true;
    m_held = opened->held;
    m_form->fillLists(m_ctx.db);
    showRow(opened->row);
    m_form->setNumberLocked(opened->numberLocked);
    m_form->setClassesLocked(opened->classesLocked);
    setEnabled(true);
    emit stateChanged();
}

void DadosGeraisTab::closeCertificate()
{
    m_open = false;
    m_loaded = Certificate();
    m_held = false;
    m_form->clearAll();
    m_form->setNumberLocked(false);
    m_status->setStatus(false, QString());
    setEnabled(false);
    emit stateChanged();
}

void DadosGeraisTab::showRow(const Certificate &row)
{
    m_loaded = row;
    m_form->show(row);
    m_status->setStatus(true, row.statusCertificado);
}

std::optional<TabItem> DadosGeraisTab::currentItem() const
{
    if (!m_open)
        return std::nullopt;
    return TabItem{StatusEvents::Table::Status_C,
                   {{QStringLiteral("SiglaCertificador"), m_loaded.siglaCertificador},
                    {QStringLiteral("NumCertif"), m_loaded.numCertif},
                    {QStringLiteral("StatusCertificado"), m_loaded.statusCertificado},
                    {QStringLiteral("IdClasseCertif"), m_loaded.idClasseCertif},
                    {QStringLiteral("IdClasseProd"), m_loaded.idClasseProd},
                    {QStringLiteral("DataEmissao"), m_loaded.dataEmissao}}};
}

bool DadosGeraisTab::isModified() const
{
    return m_open && !m_form->read(m_loaded).sameGeneralData(m_loaded);
}

QString DadosGeraisTab::leaveRefusal() const
{
    if (isModified())
        return QStringLiteral(
            "Existem inclusões ou alterações não Aplicadas no painel de DadosGerais. Pressione o botão "
            "Aplicar ou Cancelar antes de mudar de painel.");
    const Certificate shown = m_form->read(m_loaded);
    if (shown.siglaCertificador.isEmpty() || shown.numCertif.isEmpty() ||
        MaintenanceDates::isBlank(m_form->emissao->boxText()))
        return QStringLiteral("Selecione um certificado !!!");
    return {};
}

void DadosGeraisTab::entered()
{
    if (m_open)
        applyLocks();
}

void DadosGeraisTab::applyLocks()
{
    CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
    m_form->setNumberLocked(service.numberLocked(m_loaded.key(), m_held));
    m_form->setClassesLocked(
        ExistenceCheck::certificateHasDocuments(m_ctx.db, m_loaded.siglaCertificador, m_loaded.numCertif));
}

void DadosGeraisTab::checkIssueDate()
{
    const QString problem = MaintenanceDates::issueProblem(m_form->emissao->boxText(), QDate::currentDate());
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_form->emissao->takeFocusBack();
    }
}

void DadosGeraisTab::checkValidityDate()
{
    const QString problem = MaintenanceDates::validityProblem(m_form->validade->boxText(), m_form->emissao->boxText(),
                                                              MaintenanceDates::Panel::Modify);
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_form->validade->takeFocusBack();
    }
}

bool DadosGeraisTab::saveGeneral()
{
    if (!isModified())
        return true;
    CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
    const Certificate edited = m_form->read(m_loaded);
    const auto checked = service.checkGeneral(m_loaded.key(), edited);
    if (checked == CertificateService::Result::NeedsValidity)
        m_form->validade->setFocus();
    if (checked != CertificateService::Result::Saved)
        return false;

    std::optional<QString> justification;
    if (m_held) {
        // An approved certificate tells the regulator why it changed; without
        // a reason the changes are dropped.
        const auto answer = m_ctx.askJustification(false, m_loaded.dataEmissao);
        if (!answer) {
            showRow(m_loaded);
            emit stateChanged();
            return false;
        }
        justification = answer->text;
    }
    if (service.saveGeneral(m_loaded.key(), edited, justification) != CertificateService::Result::Saved)
        return false;
    const CertificateKey saved{m_loaded.siglaCertificador, edited.numCertif};
    if (edited.numCertif != m_loaded.numCertif) {
        emit keyChanged(saved);
    } else if (const auto fresh = CertificateStore::load(m_ctx.db, saved)) {
        showRow(*fresh);
        emit certificateChanged();
    }
    return true;
}

void DadosGeraisTab::cancelEdit()
{
    if (isModified()) {
        showRow(m_loaded);
        emit stateChanged();
    }
}

void DadosGeraisTab::changeStatus(const QString &letter)
{
    if (!m_open)
        return;
    const auto answer = m_ctx.askJustification(true, m_loaded.dataEmissao);
    if (answer) {
        // The dialog has checked the date; it is kept as a whole day.
        CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
        service.changeStatus(m_loaded.key(), letter, answer->text, MaintenanceDates::parse(answer->date));
    }
    // Only the status comes back from the row: values being typed stay.
    if (const auto fresh = CertificateStore::load(m_ctx.db, m_loaded.key())) {
        const bool modified = isModified();
        m_loaded = *fresh;
        if (!modified)
            m_form->show(m_loaded);
        m_status->setStatus(true, m_loaded.statusCertificado);
    }
    emit stateChanged();
}
