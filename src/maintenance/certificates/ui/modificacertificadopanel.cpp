#include "maintenance/certificates/ui/modificacertificadopanel.h"

#include "base/messenger.h"
#include "maintenance/certificates/certificatestore.h"
#include "maintenance/certificates/ui/dadosgeraistab.h"
#include "maintenance/certificates/ui/tfrmselecionacertificado.h"
#include "maintenance/ui/selectionparts.h"
#include "register/regulatorholding.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

ModificaCertificadoPanel::ModificaCertificadoPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Modifica Certificado"), this);
    group->setObjectName(QStringLiteral("GroupModificaCertificado"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);
    tabWidget = new QTabWidget(group);
    tabWidget->setObjectName(QStringLiteral("PControlModificaCertif"));
    layout->addWidget(tabWidget, 1);

    chooseButton = DialogParts::button(group, QStringLiteral("btnSelCertModificacao"),
                                       QStringLiteral("Seleciona Certificado"));
    documentsButton = DialogParts::button(group, QStringLiteral("btbDocNorm"), QStringLiteral("Doc. Normativos"));
    historyButton = DialogParts::button(group, QStringLiteral("BtnCadHistorico"), QStringLiteral("Cad. Histórico"));
    exitButton = DialogParts::button(group, QStringLiteral("BitBtn35"), QStringLiteral("&Saída"));
    layout->addLayout(SelectionParts::spreadRow({chooseButton, documentsButton, historyButton}, {exitButton}));

    exitButton->setProperty(MaskedDateEdit::SkipsDateCheck, true);
    Messenger &msg = m_ctx.messenger;
    connect(chooseButton, &QPushButton::clicked, this, guarded(msg, [this] { chooseCertificate(); }));
    connect(exitButton, &QPushButton::clicked, this, guarded(msg, [this] { leavePanel(); }));
    connect(documentsButton, &QPushButton::clicked, this, guarded(msg, [this] {
                if (m_documents)
                    m_documents(m_open, m_tabs.value(tabWidget->currentIndex()));
                reloadHeader();
            }));
    connect(historyButton, &QPushButton::clicked, this, guarded(msg, [this] {
                if (m_history)
                    m_history(m_open, m_tabs.value(tabWidget->currentIndex()));
            }));
    connect(tabWidget, &QTabWidget::currentChanged, this,
            [this, &msg](int index) { guard(msg, [&] { tabChanged(index); }); });

    m_chooser = [this]() -> std::optional<CertificateKey> {
        const auto chosen = TFrmSelecionaCertificado::choose(this, m_ctx.db, m_ctx.messenger);
        if (!chosen)
            return std::nullopt;
        return CertificateKey{chosen->siglaCertificador, chosen->numCertif};
    };
    m_dadosGerais = new DadosGeraisTab(m_ctx, tabWidget);
    addTab(m_dadosGerais);
    connect(m_dadosGerais, &DadosGeraisTab::keyChanged, this,
            [this, &msg](const CertificateKey &key) { guard(msg, [&] { load(key); }); });
    updateButtons();
}

void ModificaCertificadoPanel::addTab(CertificateTab *tab)
{
    m_tabs.append(tab);
    {
        const QSignalBlocker block(tabWidget);
        tabWidget->addTab(tab, tab->title());
    }
    connect(tab, &CertificateTab::stateChanged, this, &ModificaCertificadoPanel::updateButtons);
    connect(tab, &CertificateTab::certificateChanged, this, &ModificaCertificadoPanel::reloadHeader);
    connect(tab, &CertificateTab::itemsChanged, this, [this, tab] {
        for (CertificateTab *other : m_tabs)
            if (other != tab && isOpen())
                other->openCertificate(m_open);
        reloadHeader();
    });
    if (isOpen())
        tab->openCertificate(m_open);
}

void ModificaCertificadoPanel::setDocumentsAction(TabAction action)
{
    m_documents = std::move(action);
    updateButtons();
}

void ModificaCertificadoPanel::setHistoryAction(TabAction action)
{
    m_history = std::move(action);
    updateButtons();
}

void ModificaCertificadoPanel::load(const CertificateKey &key)
{
    closeAll();
    const auto row = CertificateStore::load(m_ctx.db, key);
    if (!row)
        return;
    m_open.key = row->key();
    m_open.issueDate = row->dataEmissao;
    // Read once per opening: later tabs branch on it while it stays open.
    m_open.held = RegulatorHolding::certificate(m_ctx.db, m_open.key);
    for (CertificateTab *tab : m_tabs)
        tab->openCertificate(m_open);
    m_switching = true;
    tabWidget->setCurrentIndex(0);
    m_switching = false;
    m_currentTab = 0;
    updateButtons();
}

void ModificaCertificadoPanel::closeAll()
{
    m_open = OpenCertificate();
    for (CertificateTab *tab : m_tabs)
        tab->closeCertificate();
    m_switching = true;
    tabWidget->setCurrentIndex(0);
    m_switching = false;
    m_currentTab = 0;
    updateButtons();
}

void ModificaCertificadoPanel::reloadHeader()
{
    if (const auto row = CertificateStore::load(m_ctx.db, m_open.key))
        m_open.issueDate = row->dataEmissao;
    m_dadosGerais->entered();
    updateButtons();
}

void ModificaCertificadoPanel::chooseCertificate()
{
    if (m_dadosGerais->isModified()) {
        if (!m_ctx.messenger.confirm(QStringLiteral("Existe um certificado aberto em condições de ser salvo. Deseja "
                                                    "salva-lo e continuar a abrir um outro certificado ?"),
                                     QStringLiteral("Edita Certificado")))
            return;
        if (!m_dadosGerais->saveGeneral())
            return;
    }
    const std::optional<CertificateKey> chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen || chosen->isEmpty()) {
        m_ctx.messenger.information(TFrmSelecionaCertificado::NenhumEscolhido);
        return;
    }
    load(*chosen);
}

void ModificaCertificadoPanel::leavePanel()
{
    // Unsaved general data is dropped.
    closeAll();
    emit leave();
}

bool ModificaCertificadoPanel::mayLeaveTab()
{
    CertificateTab *tab = m_tabs.value(m_currentTab);
    const QString refusal = tab ? tab->leaveRefusal() : QString();
    if (refusal.isEmpty())
        return true;
    m_ctx.messenger.error(refusal, QStringLiteral("Erro de Edição"));
    return false;
}

void ModificaCertificadoPanel::tabChanged(int index)
{
    if (m_switching || index == m_currentTab)
        return;
    if (!mayLeaveTab()) {
        m_switching = true;
        tabWidget->setCurrentIndex(m_currentTab);
        m_switching = false;
        return;
    }
    m_currentTab = index;
    if (CertificateTab *tab = m_tabs.value(index))
        tab->entered();
    updateButtons();
}

void ModificaCertificadoPanel::updateButtons()
{
    CertificateTab *tab = m_tabs.value(tabWidget->currentIndex());
    const bool row = isOpen() && tab && tab->hasCurrentRow();
    documentsButton->setVisible(!tab || tab->offersDocuments());
    documentsButton->setEnabled(bool(m_documents) && row);
    historyButton->setEnabled(bool(m_history) && row);
    // Other tabs need an open certificate.
    for (int i = 1; i < m_tabs.size(); ++i)
        tabWidget->setTabEnabled(i, isOpen());
}
