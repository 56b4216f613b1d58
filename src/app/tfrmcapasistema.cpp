#include "app/tfrmcapasistema.h"

#include "maintenance/certificates/ui/aprovacertificadospage.h"
#include "maintenance/certificates/ui/certificadosvencerpage.h"
#include "maintenance/certificates/ui/modificacertificadopanel.h"
#include "maintenance/ui/tformprincipal.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "remessa/ui/tfrmenviatxt_ftp.h"
#include "remessa/ui/tfrmselecaotransferencia.h"

#include "shell/appversion.h"
#include "shell/startupcheck.h"
#include "shell/tdmcapasistema.h"
#include "shell/ui/cadastrousuariospage.h"
#include "shell/ui/configcertificadorpage.h"
#include "shell/ui/configuradiretoriospage.h"
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

TFrmCapaSistema::TFrmCapaSistema(Messenger &messenger, ReportOpener &reports, QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                      Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_messenger(messenger),
      m_reports(reports)
{
    setObjectName(QStringLiteral("FrmCapaSistema"));
    buildMenus();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    buildToolbar();
    layout->addWidget(findChild<QWidget *>(QStringLiteral("pnlBotoes")));

    Notebook1 = new QStackedWidget(central);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    layout->addWidget(Notebook1, 1);
    addPage(QStringLiteral("Principal"), buildStartPage(), {});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, guarded(m_messenger, [this] { Timer1Timer(); }));

    m_terminate = [this] {
        m_state = State::Closed;
        close();
        QCoreApplication::quit();
    };

    // Creation: the database size, the caption, everything disabled until a
    // login, the start page.
    const qint64 size = StartupCheck::databaseSize();
    setWindowTitle(QStringLiteral("Corvane - Módulo do Certificador") + QStringLiteral(" - ") + AppVersion::text());
    m_panels[1]->setText(StartupCheck::databaseStatusText(size));
    disableAtStart();
    showPage(QStringLiteral("Principal"));
    setFixedSize(880, 640);
    Timer1->start();
}

TFrmCapaSistema::~TFrmCapaSistema() = default;

void TFrmCapaSistema::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    mniFuncoes = menu(bar, "mniFuncoes", QStringLiteral("Funções"));
    mniManBaseDados = item(mniFuncoes, "mniManBaseDados", QStringLiteral("Manutenção da Base de Dados..."));
    mniAprovaCertificados = item(mniFuncoes, "mniAprovaCertificados", QStringLiteral("Aprovação de Certificados"));
    mniCertificadosVencer = item(mniFuncoes, "mniCertificadosVencer", QStringLiteral("Certificados a Vencer"));
    mniContRemessas = mniFuncoes->addMenu(QStringLiteral("Controle de Remessas"));
    mniContRemessas->setObjectName(QStringLiteral("mniContRemessas"));
    mniContRemessas->menuAction()->setObjectName(QStringLiteral("mniContRemessasAction"));
    RemessageradanoSistema1 = item(mniContRemessas, "RemessageradanoSistema1", QStringLiteral("Gerar Remessa "));
    ArquivoTXT1 = item(mniContRemessas, "ArquivoTXT1", QStringLiteral("Envio de Arquivo TXT"));
    mniAtualizTabQuelora = item(mniFuncoes, "mniAtualizTabQuelora",
                                QStringLiteral("Atualização de Tabelas Quelora..."));
    mniFuncoes->addSeparator()->setObjectName(QStringLiteral("N1"));
    mniSair = item(mniFuncoes, "mniSair", QStringLiteral("Sair"));

    mniConfiguracoes = menu(bar, "mniConfiguracoes", QStringLiteral("Configurações"));
    mniCertificador = item(mniConfiguracoes, "mniCertificador", QStringLiteral("Certificador..."));
    mniDiretorios = item(mniConfiguracoes, "mniDiretorios", QStringLiteral("Diretórios..."));

    mniUsuarios = menu(bar, "mniUsuarios", QStringLiteral("Usuários"));
    mniCadUsuarios = item(mniUsuarios, "mniCadUsuarios", QStringLiteral("Cadastro de Usuários..."));
    mniAlteraSenha = item(mniUsuarios, "mniAlteraSenha", QStringLiteral("Altera Senha..."));

    mniBaseDados = menu(bar, "mniBaseDados", QStringLiteral("Base de Dados"));
    mniCopiaBase = item(mniBaseDados, "mniCopiaBase", QStringLiteral("Fazer Cópia da Base de Dados"));
    mniRestauraBase = item(mniBaseDados, "mniRestauraBase", QStringLiteral("Restaurar Cópia da Base de Dados..."));

    mniReparar = bar->addAction(QStringLiteral("Reparar Base de Dados"));
    mniReparar->setObjectName(QStringLiteral("mniReparar"));
    mniAjuda = bar->addAction(QStringLiteral("Sobre..."));
    mniAjuda->setObjectName(QStringLiteral("mniAjuda"));

    connectAction(mniManBaseDados, [this] { runFunction(Function::ManBaseDados); });
    connectAction(mniAprovaCertificados, [this] { openPage(QStringLiteral("AprovaCertificados")); });
    connectAction(mniCertificadosVencer, [this] { openPage(QStringLiteral("CertificadosVencer")); });
    connectAction(mniCopiaBase, [this] { mniCopiaBaseClick(); });
    connectAction(mniRestauraBase, [this] { mniRestauraBaseClick(); });
    connectAction(RemessageradanoSistema1, [this] { runFunction(Function::ContRemessas); });
    connectAction(ArquivoTXT1, [this] { runFunction(Function::ArquivoTXT); });
    connectAction(mniAtualizTabQuelora, [this] { runFunction(Function::AtualizTabQuelora); });
    connectAction(mniSair, [this] { mniSairClick(); });
    connectAction(mniCertificador, [this] { openPage(QStringLiteral("ConfigCertificador")); });
    connectAction(mniDiretorios, [this] { openPage(QStringLiteral("ConfiguraDiretorios")); });
    connectAction(mniCadUsuarios, [this] { openPage(QStringLiteral("CadastroUsuarios")); });
    connectAction(mniAlteraSenha, [this] { mniAlteraSenhaClick(); });
    connectAction(mniReparar, [this] { runFunction(Function::Reparar); });
    connectAction(mniAjuda, [this] { mniAjudaClick(); });
}

void TFrmCapaSistema::buildToolbar()
{
    auto *panel = new QFrame(centralWidget());
    panel->setObjectName(QStringLiteral("pnlBotoes"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 3, 6, 3);
    row->setSpacing(2);

    auto button = [&](const char *name, const QString &hint, ShellIcons::Icon icon) {
        auto *b = new QToolButton(panel);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setAccessibleName(hint); // icon only: screen readers say the hint
        b->setAutoRaise(true);
        b->setIcon(ShellIcons::icon(icon));
        b->setIconSize(QSize(28, 28));
        b->setFixedSize(40, 40);
        row->addWidget(b);
        return b;
    };
    auto gap = [&] {
        auto *line = new QFrame(panel);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedHeight(30);
        row->addSpacing(4);
        row->addWidget(line);
        row->addSpacing(4);
    };

    spbManBaseDados = button("spbManBaseDados", QStringLiteral("Manutenção da Base de Dados"), ShellIcons::Database);
    spbContRemessas = button("spbContRemessas", QStringLiteral("Controle de Remessas"), ShellIcons::Send);
    spbAtualizTabQuelora = button("spbAtualizTabQuelora", QStringLiteral("Atualização de Tabelas Quelora"),
                                  ShellIcons::Update);
    gap();
    spbCertificador = button("spbCertificador", QStringLiteral("Certificador"), ShellIcons::Certifier);
    spbDiretorios = button("spbDiretorios", QStringLiteral("Diretórios"), ShellIcons::Folder);
    gap();
    spbCadUsuarios = button("spbCadUsuarios", QStringLiteral("Cadastro de Usuários"), ShellIcons::Users);
    spbAlteraSenha = button("spbAlteraSenha", QStringLiteral("Altera Senha"), ShellIcons::Key);
    sbReentrar = button("sbReentrar", QStringLiteral("Altera Usuário Logado"), ShellIcons::Relogin);
    gap();
    sbSair = button("sbSair", QStringLiteral("Saída"), ShellIcons::Exit);
    spbAprovaCertificados = button("spbAprovaCertificados", QStringLiteral("Aprovação de Certificados"),
                                   ShellIcons::None);
    spbAprovaCertificados->setText(QStringLiteral("A"));
    spbAprovaCertificados->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont f = spbAprovaCertificados->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    spbAprovaCertificados->setFont(f);
    SbAjuda = button("SbAjuda", QStringLiteral("Ajuda"), ShellIcons::Help);
    SbAjuda->hide();
    row->addStretch();

    connectButton(spbManBaseDados, [this] { runFunction(Function::ManBaseDados); });
    connectButton(spbContRemessas, [this] { runFunction(Function::ContRemessas); });
    connectButton(spbAtualizTabQuelora, [this] { runFunction(Function::AtualizTabQuelora); });
    connectButton(spbCertificador, [this] { openPage(QStringLiteral("ConfigCertificador")); });
    connectButton(spbDiretorios, [this] { openPage(QStringLiteral("ConfiguraDiretorios")); });
    connectButton(spbCadUsuarios, [this] { openPage(QStringLiteral("CadastroUsuarios")); });
    connectButton(spbAlteraSenha, [this] { mniAlteraSenhaClick(); });
    connectButton(sbReentrar, [this] { sbReentrarClick(); });
    connectButton(sbSair, [this] { mniSairClick(); });
    connectButton(spbAprovaCertificados, [this] { openPage(QStringLiteral("AprovaCertificados")); });
    connectButton(SbAjuda, [this] { mniAjudaClick(); });
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

    Panel1 = new QLabel(picture);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    QFont bold = Panel1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Panel1->setFont(bold);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setMinimumSize(420, 44);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    Panel1->hide();
    overlay->addWidget(Panel1, 0, Qt::AlignHCenter);
    overlay->addStretch(1);

    LbAguarde = new QLabel(QStringLiteral("Aguarde, verificando tabelas..."), picture);
    LbAguarde->setObjectName(QStringLiteral("LbAguarde"));
    LbAguarde->setAlignment(Qt::AlignCenter);
    LbAguarde->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    overlay->addWidget(LbAguarde);
    PbAguarde = new QProgressBar(picture);
    PbAguarde->setObjectName(QStringLiteral("PbAguarde"));
    PbAguarde->setRange(0, 14);
    PbAguarde->setTextVisible(false);
    PbAguarde->setFixedSize(360, 14);
    PbAguarde->hide();
    overlay->addWidget(PbAguarde, 0, Qt::AlignHCenter);

    StatusBar1 = new QStatusBar(page);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        m_panels[i]->setMinimumWidth(10);
        m_panels[i]->setContentsMargins(4, 0, 4, 0);
        StatusBar1->addWidget(m_panels[i], 1);
    }
    // Certificates about to expire, told at login; hidden when none.
    m_expiringNotice = new QLabel(StatusBar1);
    m_expiringNotice->setObjectName(QStringLiteral("LbCertificadosVencer"));
    m_expiringNotice->setContentsMargins(4, 0, 4, 0);
    m_expiringNotice->hide();
    StatusBar1->addWidget(m_expiringNotice);
    layout->addWidget(StatusBar1);
    return page;
}

void TFrmCapaSistema::addPage(const QString &name, QWidget *page, std::function<void()> enter)
{
    page->setObjectName(name);
    Notebook1->addWidget(page);
    if (enter)
        m_pageEnter.insert(name, std::move(enter));
}

void TFrmCapaSistema::attachDataModules(const DataModules &modules)
{
    m_dm = modules;
    TDMCapaSistema *capa = m_dm.capa;
    auto copy = [capa](const QString &code) { capa->setCertifierCode(code); };
    // Configuring the certifier gives it to the users that had none, the one
    // signed in included.
    connect(capa, &TDMCapaSistema::certifierChanged, this, [this](const QString &code) {
        if (m_login.isLoggedIn() && m_login.certifier.trimmed().isEmpty() && !code.trimmed().isEmpty()) {
            m_login.certifier = code.trimmed();
            m_panels[0]->setText(m_login.statusText());
        }
    });

    m_users = new CadastroUsuariosPage(*capa, m_messenger, m_reports, m_login, Notebook1);
    installPage(QStringLiteral("CadastroUsuarios"), m_users);
    installPage(QStringLiteral("ConfiguraDiretorios"),
                new ConfiguraDiretoriosPage(capa->connection(), m_messenger, copy, Notebook1));
    installPage(QStringLiteral("ConfigCertificador"),
                new ConfigCertificadorPage(capa->connection(), m_messenger, copy, Notebook1));
    installPage(QStringLiteral("AprovaCertificados"),
                new AprovaCertificadosPage(capa->connection(), m_messenger, m_login, Notebook1));
    auto *expiring = new CertificadosVencerPage(capa->connection(), m_messenger, m_login, m_opener, Notebook1);
    installPage(QStringLiteral("CertificadosVencer"), expiring);
    connect(expiring, &CertificadosVencerPage::openCertificate, this,
            [this](const QString &sigla, const QString &numero) {
                guard(m_messenger, [&] { openInMaintenance(sigla, numero); });
            });

    setFunction(Function::ManBaseDados, [this] { openInMaintenance(QString(), QString()); });

    // One window while it stays open; asking again brings it forward.
    setFunction(Function::ArquivoTXT, [this] {
        if (!m_txtWindow) {
            auto *w = new TFrmEnviaTXT_FTP(m_dm.capa->connection(), m_messenger, m_dm.capa->certifierCode(), this);
            w->setAttribute(Qt::WA_DeleteOnClose);
            // The chosen file goes through the transfer mode choice, with its
            // own folder in place of the transfer directory.
            w->setTransferOpener([this](QWidget *parent, const QString &dir, const QString &fileName) {
                Database &db = m_dm.capa->connection();
                RemessaWork work = RemessaWork::from(RemessaControl::workingValues(db), m_login);
                work.transferDir = dir;
                TFrmSelecaoTransferencia choice(work, db, m_messenger, parent);
                choice.setFileName(fileName);
                choice.exec();
            });
            m_txtWindow = w;
        }
        m_txtWindow->show();
        m_txtWindow->raise();
        m_txtWindow->activateWindow();
    });
}

// The maintenance window, on the given certificate when there is one.
void TFrmCapaSistema::openInMaintenance(const QString &sigla, const QString &numero)
{
    TFormPrincipal maintenance(*m_dm.capa, m_messenger, m_login, {statusPanelText(0), statusPanelText(1)}, this);
    maintenance.setWindowOpener(&m_opener);
    if (!numero.isEmpty()) {
        maintenance.setMode(QStringLiteral("ModificaCertificado"));
        maintenance.modificaCertificado()->load({sigla, numero});
    }
    maintenance.exec();
}

void TFrmCapaSistema::connectAction(QAction *action, std::function<void()> handler)
{
    connect(action, &QAction::triggered, this, guarded(m_messenger, std::move(handler)));
}

void TFrmCapaSistema::connectButton(QToolButton *button, std::function<void()> handler)
{
    connect(button, &QToolButton::clicked, this, guarded(m_messenger, std::move(handler)));
}

void TFrmCapaSistema::showPage(const QString &name)
{
    for (int i = 0; i < Notebook1->count(); ++i) {
        if (Notebook1->widget(i)->objectName() == name) {
            Notebook1->setCurrentIndex(i);
            return;
        }
    }
}

QString TFrmCapaSistema::currentPage() const
{
    QWidget *w = Notebook1->currentWidget();
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
