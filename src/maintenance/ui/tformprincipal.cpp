#include "maintenance/ui/tformprincipal.h"

#include "maintenance/certificates/certificateservice.h"
#include "maintenance/certificates/ui/certificateform.h"
#include "maintenance/certificates/ui/excluicertificadopanel.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/certificates/ui/novocertificadopanel.h"
#include "maintenance/companies/ui/empresasenvolvidastab.h"
#include "maintenance/companies/ui/tabempresapanel.h"
#include "maintenance/documents/ui/documentwindows.h"
#include "maintenance/products/ui/itemtabs.h"
#include "maintenance/products/ui/tabprodutopanel.h"
#include "maintenance/tables/ui/signatariospanel.h"
#include "maintenance/tables/ui/tabquelorapanel.h"
#include "maintenance/ui/maintenanceicons.h"
#include "shell/programdatabase.h"
#include "shell/startupcheck.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/startpicture.h"
#include "widgets/windowopener.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString Principal = QStringLiteral("Principal");
const QString NovoCertificado = QStringLiteral("NovoCertificado");
const QString ModificaCertificado = QStringLiteral("ModificaCertificado");
const QString ExcluiCertificado = QStringLiteral("ExcluiCertificado");
const QString TabEmpresa = QStringLiteral("TabEmpresa");
const QString TabProduto = QStringLiteral("TabProduto");
const QString TabQuelora = QStringLiteral("TabQuelora");
const QString Signatarios = QStringLiteral("Signatarios");

QString panelName(const QString &mode)
{
    return QStringLiteral("Panel") + mode;
}

}

const QStringList &TFormPrincipal::modes()
{
    static const QStringList all{Principal,  NovoCertificado, ModificaCertificado, ExcluiCertificado,
                                 TabEmpresa, TabProduto,      TabQuelora,          Signatarios};
    return all;
}

TFormPrincipal::TFormPrincipal(ProgramDatabase &capa, Messenger &messenger, const LoginState &login,
                               const QStringList &statusTexts, QWidget *parent)
    : QDialog(parent),
      m_capa(capa),
      m_login(login),
      m_ctx{capa.database(), messenger, login.userCode, {}}
{
    setObjectName(QStringLiteral("FormPrincipal"));
    setWindowTitle(QStringLiteral("Corvane - Manutenção da Base de Dados"));
    m_ctx.askJustification = TFrmJustificativa::prompt(messenger, this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    layout->setMenuBar(bar);
    auto *toolbar = new QFrame(this);
    toolbar->setObjectName(QStringLiteral("PanelBotoes"));
    toolbar->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(toolbar);
    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("PanelModos"));
    layout->addWidget(m_stack, 1);

    buildMenus(bar);
    buildToolbar(toolbar);

    m_stack->addWidget(buildPrincipal(statusTexts));
    m_novo = new NovoCertificadoPanel(m_ctx, m_stack);
    m_novo->setObjectName(panelName(NovoCertificado));
    m_stack->addWidget(m_novo);
    m_modifica = new ModificaCertificadoPanel(m_ctx, m_stack);
    m_modifica->setObjectName(panelName(ModificaCertificado));
    m_stack->addWidget(m_modifica);
    m_modifica->addTab(new EmpresasEnvolvidasTab(m_ctx, m_modifica));
    addItemTabs(m_modifica, m_ctx);
    DocumentWindows::install(*m_modifica, m_ctx);

    connect(m_novo, &NovoCertificadoPanel::cancelled, this, [this] { setMode(Principal); });
    connect(m_novo, &NovoCertificadoPanel::saved, this, [this, &messenger](const CertificateKey &key) {
        guard(messenger, [&] {
            setMode(ModificaCertificado);
            m_modifica->load(key);
        });
    });
    connect(m_modifica, &ModificaCertificadoPanel::leave, this, [this] { setMode(Principal); });
    installTablePanels();

    setFixedSize(920, 700);
    setMode(Principal);
}

TFormPrincipal::~TFormPrincipal() = default;

void TFormPrincipal::installTablePanels()
{
    auto toPrincipal = [this] { setMode(Principal); };
    auto *exclui = new ExcluiCertificadoPanel(m_ctx, m_stack);
    connect(exclui, &ExcluiCertificadoPanel::leave, this, toPrincipal);
    installPanel(ExcluiCertificado, exclui, [exclui] { exclui->entered(); });
    auto *empresas = new TabEmpresaPanel(m_ctx, m_stack);
    connect(empresas, &TabEmpresaPanel::leave, this, toPrincipal);
    installPanel(TabEmpresa, empresas, [empresas] { empresas->entered(); });
    auto *produtos = new TabProdutoPanel(m_ctx, m_stack);
    connect(produtos, &TabProdutoPanel::leave, this, toPrincipal);
    installPanel(TabProduto, produtos, [produtos] { produtos->entered(); });
    auto *quelora = new TabQueloraPanel(m_ctx, m_stack);
    connect(quelora, &TabQueloraPanel::leave, this, toPrincipal);
    installPanel(TabQuelora, quelora, [quelora] { quelora->entered(); });
    auto *signatarios = new SignatariosPanel(m_ctx, m_stack);
    connect(signatarios, &SignatariosPanel::leave, this, toPrincipal);
    installPanel(Signatarios, signatarios, [signatarios] { signatarios->entered(); });
}

void TFormPrincipal::buildMenus(QMenuBar *bar)
{
    auto menu = [this, bar](const char *name, const QString &caption) {
        QMenu *m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
        m_menus << m;
        return m;
    };
    auto item = [this](QMenu *m, const char *name, const QString &caption, const QString &key) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        bind(key, a);
        return a;
    };

    addEntry(QStringLiteral("Novo"), {}, [this] { newCertificate(); });
    addEntry(QStringLiteral("Modifica"), {}, [this] { modifyCertificate(); });
    addEntry(QStringLiteral("Exclui"), ExcluiCertificado);
    addEntry(QStringLiteral("Empresa"), TabEmpresa);
    addEntry(QStringLiteral("Produto"), TabProduto);
    addEntry(QStringLiteral("Quelora"), TabQuelora);
    addEntry(QStringLiteral("Signatario"), Signatarios);
    addEntry(QStringLiteral("Importa"), {}, [this] { importFile(); });
    addEntry(QStringLiteral("Sair"), {}, [this] { quit(); });
    // The report windows belong to another subsystem: reached through the opener.
    enum class Report { Incomplete, Ready, Certificates };
    auto report = [this](Report which) {
        return [this, which] {
            if (!m_opener)
                return;
            switch (which) {
            case Report::Incomplete: m_opener->incompleteCertificates(this, m_ctx.db, m_login, m_ctx.messenger); break;
            case Report::Ready: m_opener->certificatesReadyForApproval(this, m_ctx.db, m_login, m_ctx.messenger); break;
            case Report::Certificates: m_opener->certificateReports(this, m_ctx.db, m_login, m_ctx.messenger); break;
            }
        };
    };
    addEntry(QStringLiteral("CertificadosIncompletos1"), {}, report(Report::Incomplete));
    addEntry(QStringLiteral("CertificadosProntosparaAprovacao1"), {}, report(Report::Ready));
    addEntry(QStringLiteral("EspelhodoCertificado1"), {}, report(Report::Certificates));

    QMenu *cert = menu("Certificado1", QStringLiteral("Certificado"));
    item(cert, "Novo1", QStringLiteral("Novo..."), QStringLiteral("Novo"));
    item(cert, "Altera1", QStringLiteral("Modifica..."), QStringLiteral("Modifica"));
    item(cert, "Exclui1", QStringLiteral("Exclui..."), QStringLiteral("Exclui"));
    cert->addSeparator();
    item(cert, "Sair1", QStringLiteral("Sair"), QStringLiteral("Sair"));
    QMenu *tables = menu("Tabelas1", QStringLiteral("Tabelas"));
    item(tables, "Empresa1", QStringLiteral("Empresa"), QStringLiteral("Empresa"));
    item(tables, "Produto1", QStringLiteral("Produto"), QStringLiteral("Produto"));
    item(tables, "Signatario1", QStringLiteral("Signatário"), QStringLiteral("Signatario"));
    QMenu *quelora = menu("Quelora1", QStringLiteral("Quelora"));
    item(quelora, "TabelasQuelora1", QStringLiteral("Tabelas Quelora..."), QStringLiteral("Quelora"));
    QMenu *import = menu("Importacao1", QStringLiteral("Importação"));
    item(import, "ImportadadosArquivoTXT1", QStringLiteral("Importa dados Arquivo TXT"), QStringLiteral("Importa"));
    QMenu *reports = menu("Relatorios1", QStringLiteral("Relatórios"));
    item(reports, "CertificadosIncompletos1", QStringLiteral("Certificados Incompletos"),
         QStringLiteral("CertificadosIncompletos1"));
    item(reports, "CertificadosProntosparaAprovacao1", QStringLiteral("Certificados Prontos para Aprovação"),
         QStringLiteral("CertificadosProntosparaAprovacao1"));
    item(reports, "EspelhodoCertificado1", QStringLiteral("Espelho do Certificado"),
         QStringLiteral("EspelhodoCertificado1"));
    helpMenu = menu("Ajuda1", QStringLiteral("Ajuda"));
    helpMenu->menuAction()->setVisible(false);
    m_menus.removeOne(helpMenu);
}

void TFormPrincipal::buildToolbar(QWidget *panel)
{
    QHBoxLayout *row = DialogParts::toolbarRow(panel);
    auto button = [&](const char *name, const QString &hint, MaintenanceIcons::Icon icon, const QString &key) {
        QToolButton *b = DialogParts::toolbarButton(panel, row, name, hint, MaintenanceIcons::icon(icon));
        m_buttons << b;
        bind(key, b);
        return b;
    };
    auto gap = [&] { DialogParts::toolbarGap(panel, row); };
    using I = MaintenanceIcons::Icon;
    button("spbNovoCertificado", QStringLiteral("Novo Certificado"), I::NewCertificate, QStringLiteral("Novo"));
    button("spbEditaCertificado", QStringLiteral("Edita Certificado"), I::EditCertificate, QStringLiteral("Modifica"));
    button("spbApagaCertificado", QStringLiteral("Apaga Certificado"), I::DeleteCertificate, QStringLiteral("Exclui"));
    gap();
    button("spbTabEmpresa", QStringLiteral("Tabela de Empresas"), I::Companies, QStringLiteral("Empresa"));
    button("spbTabProduto", QStringLiteral("Tabela de Produtos"), I::Products, QStringLiteral("Produto"));
    button("spbTabQuelora", QStringLiteral("Tabelas do Quelora"), I::QueloraTables, QStringLiteral("Quelora"));
    gap();
    button("spbImportaDados", QStringLiteral("Importação Dados do Arquivo Texto"), I::Import,
           QStringLiteral("Importa"));
    gap();
    button("spbSaida", QStringLiteral("Saída"), I::Exit, QStringLiteral("Sair"));
    row->addStretch();
}

QWidget *TFormPrincipal::buildPrincipal(const QStringList &statusTexts)
{
    auto *page = new QWidget;
    page->setObjectName(panelName(Principal));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *picture = new StartPicture(page);
    picture->setObjectName(QStringLiteral("Image1"));
    layout->addWidget(picture, 1);
    auto *status = new QStatusBar(page);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        auto *l = new QLabel(statusTexts.value(i), status);
        l->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        l->setContentsMargins(4, 0, 4, 0);
        l->setMinimumWidth(10);
        status->addWidget(l, 1);
    }
    layout->addWidget(status);
    return page;
}

void TFormPrincipal::addEntry(const QString &key, const QString &mode, std::function<void()> action)
{
    m_entries.insert(key, Entry{mode, std::move(action), {}});
}

void TFormPrincipal::bind(const QString &key, QObject *control)
{
    m_entries[key].controls << control;
    auto handler = guarded(m_ctx.messenger, [this, key] { run(key); });
    if (auto *a = qobject_cast<QAction *>(control))
        connect(a, &QAction::triggered, this, handler);
    else if (auto *b = qobject_cast<QToolButton *>(control))
        connect(b, &QToolButton::clicked, this, handler);
}

void TFormPrincipal::run(const QString &key)
{
    const Entry entry = m_entries.value(key);
    if (entry.action)
        entry.action();
}

void TFormPrincipal::installPanel(const QString &mode, QWidget *panel, std::function<void()> enter)
{
    panel->setObjectName(panelName(mode));
    m_stack->addWidget(panel);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->mode != mode)
            continue;
        it->action = [this, mode, enter] {
            setMode(mode);
            if (enter)
                enter();
        };
    }
    applyEnabling();
}

void TFormPrincipal::setEntryAction(const QString &objectName, std::function<void()> action)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        for (QObject *c : it->controls)
            if (c->objectName() == objectName)
                it->action = action;
    applyEnabling();
}

void TFormPrincipal::setMode(const QString &mode)
{
    for (int i = 0; i < m_stack->count(); ++i)
        if (m_stack->widget(i)->objectName() == panelName(mode)) {
            m_stack->setCurrentIndex(i);
            m_mode = mode;
            break;
        }
    applyEnabling();
}

void TFormPrincipal::applyEnabling()
{
    const bool free = m_mode == Principal || m_mode == TabQuelora || m_mode == Signatarios;
    for (QMenu *m : m_menus)
        m->menuAction()->setEnabled(free);
    for (QToolButton *b : m_buttons)
        b->setEnabled(free);
    // Functions whose windows are not part of this program yet stay off.
    for (const Entry &e : m_entries)
        for (QObject *c : e.controls) {
            if (auto *a = qobject_cast<QAction *>(c))
                a->setEnabled(bool(e.action));
            else if (auto *b = qobject_cast<QToolButton *>(c))
                b->setEnabled(free && e.action);
        }
}

void TFormPrincipal::newCertificate()
{
    CertificateService service(m_ctx.db, m_ctx.messenger, m_ctx.userCode);
    const auto certifier = service.newCertificateCertifier();
    if (!certifier) {
        setMode(Principal);
        return;
    }
    // Whatever certificate was open before is closed.
    m_modifica->closeAll();
    m_novo->start(*certifier);
    setMode(NovoCertificado);
    m_novo->form()->numero->setFocus();
}

void TFormPrincipal::modifyCertificate()
{
    setMode(ModificaCertificado);
}

void TFormPrincipal::importFile()
{
    StartupCheck::run(m_capa, m_ctx.messenger);
    if (!m_capa.isCertifierConfigured())
        return;
    if (m_opener)
        m_opener->importFile(this, m_ctx.db, m_ctx.userCode, m_ctx.messenger);
}

void TFormPrincipal::quit()
{
    accept();
}

void TFormPrincipal::reject()
{
    // Escape does not drop a panel being edited.
    if (m_mode == Principal || m_mode == TabQuelora || m_mode == Signatarios)
        QDialog::reject();
}
