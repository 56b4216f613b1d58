#include "app/tfrmcapasistema.h"

#include "maintenance/certificates/ui/aprovacertificadospage.h"
#include "maintenance/certificates/ui/certificadosvencerpage.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/ui/tformprincipal.h"
#include "remessa/ui/tfrmenviatxt_ftp.h"

#include "db/registerlocation.h"
#include "shell/appversion.h"
#include "shell/programdatabase.h"
#include "shell/startupcheck.h"
#include "shell/ui/cadastrousuariospage.h"
#include "shell/ui/configcertificadorpage.h"
#include "shell/ui/configuradiretoriospage.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/shellicons.h"
#include "widgets/startpicture.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QAction *item(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QMenu *menu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
    return m;
}

}

TFrmCapaSistema::TFrmCapaSistema(Messenger &messenger, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                      Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_messenger(messenger)
{
    setObjectName(QStringLiteral("FrmCapaSistema"));
    registerFunctions();
    buildMenus();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    buildToolbar();
    layout->addWidget(findChild<QWidget *>(QStringLiteral("pnlBotoes")));

    m_pages = new QStackedWidget(central);
    m_pages->setObjectName(QStringLiteral("Notebook1"));
    layout->addWidget(m_pages, 1);
    addPage(QStringLiteral("Principal"), buildStartPage(), {});

    m_startTimer = new QTimer(this);
    m_startTimer->setObjectName(QStringLiteral("Timer1"));
    m_startTimer->setInterval(100);
    connect(m_startTimer, &QTimer::timeout, this, guarded(m_messenger, [this] { startUp(); }));

    m_terminate = [this] {
        m_state = State::Closed;
        close();
        QCoreApplication::quit();
    };

    // Creation: the database size, the caption, everything disabled until a
    // login, the start page.
    setWindowTitle(QStringLiteral("Corvane - Módulo do Certificador") + QStringLiteral(" - ") + AppVersion::text());
    m_panels[1]->setText(StartupCheck::registerStatusText());
    m_panels[1]->setToolTip(RegisterLocation::describe());
    disableAtStart();
    showPage(QStringLiteral("Principal"));
    setFixedSize(880, 640);
    m_startTimer->start();
}

TFrmCapaSistema::~TFrmCapaSistema() = default;

void TFrmCapaSistema::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    m_functionsMenu = menu(bar, "mniFuncoes", QStringLiteral("Funções"));
    m_maintenanceItem = item(m_functionsMenu, "mniManBaseDados", QStringLiteral("Manutenção da Base de Dados..."));
    m_approvalItem = item(m_functionsMenu, "mniAprovaCertificados", QStringLiteral("Aprovação de Certificados"));
    m_expiringItem = item(m_functionsMenu, "mniCertificadosVencer", QStringLiteral("Certificados a Vencer"));
    m_remittancesMenu = m_functionsMenu->addMenu(QStringLiteral("Controle de Remessas"));
    m_remittancesMenu->setObjectName(QStringLiteral("mniContRemessas"));
    m_remittancesMenu->menuAction()->setObjectName(QStringLiteral("mniContRemessasAction"));
    m_remittanceControlItem = item(m_remittancesMenu, "RemessageradanoSistema1", QStringLiteral("Gerar Remessa "));
    m_txtFileItem = item(m_remittancesMenu, "ArquivoTXT1", QStringLiteral("Envio de Arquivo TXT"));
    m_referenceTablesItem = item(m_functionsMenu, "mniAtualizTabQuelora",
                                 QStringLiteral("Atualização de Tabelas Quelora..."));
    m_functionsMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    m_exitItem = item(m_functionsMenu, "mniSair", QStringLiteral("Sair"));

    m_settingsMenu = menu(bar, "mniConfiguracoes", QStringLiteral("Configurações"));
    m_certifierItem = item(m_settingsMenu, "mniCertificador", QStringLiteral("Certificador..."));
    m_foldersItem = item(m_settingsMenu, "mniDiretorios", QStringLiteral("Diretórios..."));

    m_usersMenu = menu(bar, "mniUsuarios", QStringLiteral("Usuários"));
    m_usersItem = item(m_usersMenu, "mniCadUsuarios", QStringLiteral("Cadastro de Usuários..."));
    m_changePasswordItem = item(m_usersMenu, "mniAlteraSenha", QStringLiteral("Altera Senha..."));

    m_databaseMenu = menu(bar, "mniBaseDados", QStringLiteral("Base de Dados"));
    m_copyItem = item(m_databaseMenu, "mniCopiaBase", QStringLiteral("Fazer Cópia da Base de Dados"));
    m_restoreItem = item(m_databaseMenu, "mniRestauraBase", QStringLiteral("Restaurar Cópia da Base de Dados..."));

    m_repairItem = bar->addAction(QStringLiteral("Reparar Base de Dados"));
    m_repairItem->setObjectName(QStringLiteral("mniReparar"));
    m_aboutItem = bar->addAction(QStringLiteral("Sobre..."));
    m_aboutItem->setObjectName(QStringLiteral("mniAjuda"));

    offer(m_maintenanceItem, Function::Maintenance);
    offer(m_approvalItem, Function::ApproveCertificates);
    offer(m_expiringItem, Function::ExpiringCertificates);
    offer(m_copyItem, Function::CopyDatabase);
    offer(m_restoreItem, Function::RestoreDatabase);
    offer(m_remittanceControlItem, Function::Remittances);
    offer(m_txtFileItem, Function::TxtFile);
    offer(m_referenceTablesItem, Function::ReferenceTables);
    offer(m_exitItem, Function::Exit);
    offer(m_certifierItem, Function::CertifierSettings);
    offer(m_foldersItem, Function::FolderSettings);
    offer(m_usersItem, Function::Users);
    offer(m_changePasswordItem, Function::ChangePassword);
    offer(m_repairItem, Function::Repair);
    offer(m_aboutItem, Function::About);
}

void TFrmCapaSistema::buildToolbar()
{
    auto *panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("pnlBotoes"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QHBoxLayout *row = DialogParts::toolbarRow(panel);
    auto button = [&](const char *name, const QString &hint, ShellIcons::Icon icon) {
        QToolButton *b = DialogParts::toolbarButton(panel, row, name, hint, ShellIcons::icon(icon));
        b->setStatusTip(hint);
        return b;
    };
    auto gap = [&] { DialogParts::toolbarGap(panel, row); };

    m_maintenanceButton = button("spbManBaseDados", QStringLiteral("Manutenção da Base de Dados"),
                                 ShellIcons::Database);
    m_remittancesButton = button("spbContRemessas", QStringLiteral("Controle de Remessas"), ShellIcons::Send);
    m_referenceTablesButton = button("spbAtualizTabQuelora", QStringLiteral("Atualização de Tabelas Quelora"),
                                     ShellIcons::Update);
    gap();
    m_certifierButton = button("spbCertificador", QStringLiteral("Certificador"), ShellIcons::Certifier);
    m_foldersButton = button("spbDiretorios", QStringLiteral("Diretórios"), ShellIcons::Folder);
    gap();
    m_usersButton = button("spbCadUsuarios", QStringLiteral("Cadastro de Usuários"), ShellIcons::Users);
    m_changePasswordButton = button("spbAlteraSenha", QStringLiteral("Altera Senha"), ShellIcons::Key);
    m_switchUserButton = button("sbReentrar", QStringLiteral("Altera Usuário Logado"), ShellIcons::Relogin);
    gap();
    m_exitButton = button("sbSair", QStringLiteral("Saída"), ShellIcons::Exit);
    m_approvalButton = button("spbAprovaCertificados", QStringLiteral("Aprovação de Certificados"), ShellIcons::None);
    m_approvalButton->setText(QStringLiteral("A"));
    m_approvalButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont f = m_approvalButton->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    m_approvalButton->setFont(f);
    m_helpButton = button("SbAjuda", QStringLiteral("Ajuda"), ShellIcons::Help);
    m_helpButton->hide();
    row->addStretch();

    offer(m_maintenanceButton, Function::Maintenance);
    offer(m_remittancesButton, Function::Remittances);
    offer(m_referenceTablesButton, Function::ReferenceTables);
    offer(m_certifierButton, Function::CertifierSettings);
    offer(m_foldersButton, Function::FolderSettings);
    offer(m_usersButton, Function::Users);
    offer(m_changePasswordButton, Function::ChangePassword);
    offer(m_switchUserButton, Function::SwitchUser);
    offer(m_exitButton, Function::Exit);
    offer(m_approvalButton, Function::ApproveCertificates);
    offer(m_helpButton, Function::About);
}

QWidget *TFrmCapaSistema::buildStartPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *picture = new StartPicture(page);
    picture->setObjectName(QStringLiteral("Image1"));
    layout->addWidget(picture, 1);
    auto *overlay = new QVBoxLayout(picture);
    overlay->setContentsMargins(40, 20, 40, 28);
    overlay->addStretch(3);

    m_repairPanel = new QLabel(picture);
    m_repairPanel->setObjectName(QStringLiteral("Panel1"));
    QFont bold = m_repairPanel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    m_repairPanel->setFont(bold);
    m_repairPanel->setAlignment(Qt::AlignCenter);
    m_repairPanel->setMinimumSize(420, 44);
    m_repairPanel->setFrameShape(QFrame::Panel);
    m_repairPanel->setFrameShadow(QFrame::Raised);
    m_repairPanel->setAutoFillBackground(true);
    m_repairPanel->hide();
    overlay->addWidget(m_repairPanel, 0, Qt::AlignHCenter);
    overlay->addStretch(1);

    m_waitLabel = new QLabel(QStringLiteral("Aguarde, verificando tabelas..."), picture);
    m_waitLabel->setObjectName(QStringLiteral("LbAguarde"));
    m_waitLabel->setAlignment(Qt::AlignCenter);
    m_waitLabel->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    overlay->addWidget(m_waitLabel);
    m_waitProgress = new QProgressBar(picture);
    m_waitProgress->setObjectName(QStringLiteral("PbAguarde"));
    m_waitProgress->setRange(0, 14);
    m_waitProgress->setTextVisible(false);
    m_waitProgress->setFixedSize(360, 14);
    m_waitProgress->hide();
    overlay->addWidget(m_waitProgress, 0, Qt::AlignHCenter);

    m_statusBar = new QStatusBar(page);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(m_statusBar);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        m_panels[i]->setMinimumWidth(10);
        m_panels[i]->setContentsMargins(4, 0, 4, 0);
        // The user's panel is short; the database's (a server's address and
        // name) takes the rest of the bar.
        m_statusBar->addWidget(m_panels[i], i == 0 ? 0 : 1);
    }
    // Certificates about to expire, told at login; hidden when none.
    m_expiringNotice = new QLabel(m_statusBar);
    m_expiringNotice->setObjectName(QStringLiteral("LbCertificadosVencer"));
    m_expiringNotice->setContentsMargins(4, 0, 4, 0);
    m_expiringNotice->hide();
    m_statusBar->addWidget(m_expiringNotice);
    layout->addWidget(m_statusBar);
    return page;
}

void TFrmCapaSistema::addPage(const QString &name, QWidget *page, std::function<void()> enter)
{
    page->setObjectName(name);
    m_pages->addWidget(page);
    if (enter)
        m_pageEnter.insert(name, std::move(enter));
}

void TFrmCapaSistema::attachDatabase(ProgramDatabase &database)
{
    m_database = &database;
    ProgramDatabase *capa = m_database;
    auto copy = [capa](const QString &code) { capa->setCertifierCode(code); };
    // Configuring the certifier gives it to the users that had none, the one
    // signed in included.
    connect(capa, &ProgramDatabase::certifierChanged, this, [this](const QString &code) {
        if (m_login.isLoggedIn() && m_login.certifier.trimmed().isEmpty() && !code.trimmed().isEmpty()) {
            m_login.certifier = code.trimmed();
            m_panels[0]->setText(m_login.statusText());
        }
    });

    m_users = new CadastroUsuariosPage(*capa, m_messenger, m_opener, m_login, m_pages);
    installPage(QStringLiteral("CadastroUsuarios"), m_users);
    installPage(QStringLiteral("ConfiguraDiretorios"),
                new ConfiguraDiretoriosPage(capa->connection(), m_messenger, copy, m_pages));
    installPage(QStringLiteral("ConfigCertificador"),
                new ConfigCertificadorPage(capa->connection(), m_messenger, copy, m_pages));
    installPage(QStringLiteral("AprovaCertificados"),
                new AprovaCertificadosPage(capa->connection(), m_messenger, m_login, m_pages));
    auto *expiring = new CertificadosVencerPage(capa->connection(), m_messenger, m_login, m_opener, m_pages);
    installPage(QStringLiteral("CertificadosVencer"), expiring);
    connect(expiring, &CertificadosVencerPage::openCertificate, this,
            [this](const QString &sigla, const QString &numero) {
                guard(m_messenger, [&] { openInMaintenance(sigla, numero); });
            });
}

// One window while it stays open; asking again brings it forward.
void TFrmCapaSistema::openTxtFile()
{
    if (!m_txtWindow) {
        auto *w = new TFrmEnviaTXT_FTP(m_database->connection(), m_messenger, m_database->certifierCode(), m_login,
                                       this);
        w->setAttribute(Qt::WA_DeleteOnClose);
        m_txtWindow = w;
    }
    m_txtWindow->show();
    m_txtWindow->raise();
    m_txtWindow->activateWindow();
}

// The maintenance window, on the given certificate when there is one.
void TFrmCapaSistema::openInMaintenance(const QString &sigla, const QString &numero)
{
    TFormPrincipal maintenance(*m_database, m_messenger, m_login, {statusPanelText(0), statusPanelText(1)}, this);
    maintenance.setWindowOpener(&m_opener);
    if (!numero.isEmpty()) {
        maintenance.setMode(QStringLiteral("ModificaCertificado"));
        maintenance.modificaCertificado()->load({sigla, numero});
    }
    maintenance.exec();
}

void TFrmCapaSistema::offer(QAction *action, Function function)
{
    connect(action, &QAction::triggered, this, guarded(m_messenger, [this, function] { runFunction(function); }));
}

void TFrmCapaSistema::offer(QToolButton *button, Function function)
{
    connect(button, &QToolButton::clicked, this, guarded(m_messenger, [this, function] { runFunction(function); }));
}

void TFrmCapaSistema::showPage(const QString &name)
{
    for (int i = 0; i < m_pages->count(); ++i) {
        if (m_pages->widget(i)->objectName() == name) {
            m_pages->setCurrentIndex(i);
            return;
        }
    }
}

QString TFrmCapaSistema::currentPage() const
{
    QWidget *w = m_pages->currentWidget();
    return w ? w->objectName() : QString();
}

QString TFrmCapaSistema::statusPanelText(int panel) const
{
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void TFrmCapaSistema::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    }
}
