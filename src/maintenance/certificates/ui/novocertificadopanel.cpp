#include "maintenance/certificates/ui/novocertificadopanel.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/ui/certificateform.h"
#include "maintenance/maintenancedates.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

NovoCertificadoPanel::NovoCertificadoPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Novo Certificado"), this);
    group->setObjectName(QStringLiteral("GroupNovoCertificado"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);
    auto *tabs = new QTabWidget(group);
    tabs->setObjectName(QStringLiteral("PControlNovoCertif"));
    auto *page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("TabNovoDadosGerais"));
    auto *pageLayout = new QVBoxLayout(page);
    m_form = new CertificateForm({"DBEdit9", "DBEdit10", "DBLookupComboBox15", "DBLookupComboBox3", "MaskEdit3",
                                  "MaskEdit4", "DBEdit14", "DBEdit15", "DBComboBox1", "DBEdit73",
                                  QStringLiteral("Classe de Certificado")},
                                 page);
    pageLayout->addWidget(m_form);
    pageLayout->addStretch();
    saveButton = DialogParts::button(page, QStringLiteral("btnSalvaInclusao"), QStringLiteral("Salva"));
    cancelButton = DialogParts::button(page, QStringLiteral("BitBtn15"), QStringLiteral("Cancela"));
    pageLayout->addLayout(DialogParts::buttonRow(saveButton, cancelButton));
    tabs->addTab(page, QStringLiteral("Dados Gerais"));
    layout->addWidget(tabs);

    cancelButton->setProperty(MaskedDateEdit::SkipsDateCheck, true);
    Messenger &msg = m_ctx.messenger;
    connect(saveButton, &QPushButton::clicked, this, guarded(msg, [this] { saveNew(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelNew(); }));
    connect(m_form->emissao, &MaskedDateEdit::left, this, guarded(msg, [this] { checkIssueDate(); }));
    connect(m_form->validade, &MaskedDateEdit::left, this, guarded(msg, [this] { checkValidityDate(); }));
    for (QLineEdit *e : {m_form->numero, m_form->laboratorio, m_form->relatorio})
        connect(e, &QLineEdit::editingFinished, this, [this] { updateSaveEnabled(); });
    for (QComboBox *c : {m_form->classeCertif, m_form->classeProd})
        connect(c, &QComboBox::activated, this, [this] { updateSaveEnabled(); });
}

void NovoCertificadoPanel::start(const QString &certifier)
{
    m_blank = Certificate();
    m_blank.siglaCertificador = certifier;
    m_blank.statusCertificado = QStringLiteral("A");
    m_form->fillLists(m_ctx.db);
    m_form->show(m_blank);
    // The default signatory (or the first one) is proposed.
    if (m_form->signatarios->count() > 0)
        m_form->signatarios->setEditText(m_form->signatarios->itemText(0));
    m_blank = m_form->read(m_blank);
    m_inserting = true;
    saveButton->setEnabled(false);
    m_form->numero->setFocus();
}

bool NovoCertificadoPanel::isModified() const
{
    return m_inserting && !m_form->read(m_blank).sameGeneralData(m_blank);
}

void NovoCertificadoPanel::updateSaveEnabled()
{
    const Certificate c = m_form->read(m_blank);
    saveButton->setEnabled(!c.siglaCertificador.isEmpty() && !c.numCertif.isEmpty() &&
                           !MaintenanceDates::isBlank(m_form->emissao->boxText()) && c.hasClasses());
}

void NovoCertificadoPanel::checkIssueDate()
{
    const QString problem = MaintenanceDates::issueProblem(m_form->emissao->boxText(), QDate::currentDate());
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_form->emissao->takeFocusBack();
        return;
    }
    if (!MaintenanceDates::isBlank(m_form->emissao->boxText()))
        updateSaveEnabled();
}

void NovoCertificadoPanel::checkValidityDate()
{
    const QString problem = MaintenanceDates::validityProblem(m_form->validade->boxText(), m_form->emissao->boxText(),
                                                              MaintenanceDates::Panel::NewCertificate);
    if (!problem.isEmpty()) {
        m_ctx.messenger.error(problem, MaintenanceDates::EntryCaption);
        m_form->validade->takeFocusBack();
    }
}

void NovoCertificadoPanel::saveNew()
{
    if (!isModified())
        return;
    CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
    const Certificate draft = m_form->read(m_blank);
    const auto result = service.saveNew(draft);
    if (result == CertificateService::Result::NeedsValidity)
        m_form->validade->setFocus();
    if (result != CertificateService::Result::Saved)
        return;
    m_inserting = false;
    emit saved(draft.key());
}

void NovoCertificadoPanel::cancelNew()
{
    m_inserting = false;
    m_form->clearAll();
    emit cancelled();
}
