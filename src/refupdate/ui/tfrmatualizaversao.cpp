#include "refupdate/ui/tfrmatualizaversao.h"

#include "base/ftpaddress.h"
#include "base/messenger.h"
#include "db/database.h"
#include "net/asyncftpclient.h"
#include "refupdate/refinstall.h"
#include "refupdate/refupdaterun.h"
#include "refupdate/refversion.h"
#include "widgets/dialogparts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Tick = QStringLiteral("\u2714");

QLabel *stepTick(QWidget *parent, const char *name)
{
    auto *l = new QLabel(Tick, parent);
    l->setObjectName(QLatin1String(name));
    l->setVisible(false);
    return l;
}

// While an hourglass is up, for the length of a scope.
struct Hourglass
{
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};
}

TFrmAtualizaVersao::TFrmAtualizaVersao(Database &db, Messenger &messenger, const ConfigLocal &config,
                                       const QString &versaoAtual, const QString &nomeArquivo, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_config(config)
{
    m_currentVersion = versaoAtual.isEmpty() ? RefVersion::noVersion() : versaoAtual;
    m_currentFile = nomeArquivo.isEmpty() ? RefVersion::noVersionFile() : nomeArquivo;
    buildUi();
    EdVersaoAtual->setText(versaoAtual);
    EdNomeArquivo->setText(nomeArquivo);
    CbTipoChange();
}

void TFrmAtualizaVersao::buildUi()
{
    setObjectName(QStringLiteral("FrmAtualizaVersao"));
    setWindowTitle(QStringLiteral("Controle de Versões - Atualiza Versão Atual"));
    auto *layout = new QVBoxLayout(this);

    auto *gbVersao = new QGroupBox(QStringLiteral("Versão Atual das Tabelas Auxiliares "), this);
    auto *fv = new QFormLayout(gbVersao);
    EdVersaoAtual = DialogParts::readOnlyField(gbVersao, QStringLiteral("EdVersaoAtual"));
    EdNomeArquivo = DialogParts::readOnlyField(gbVersao, QStringLiteral("EdNomeArquivo"));
    fv->addRow(QStringLiteral("Número da Versão: "), EdVersaoAtual);
    fv->addRow(QStringLiteral("Arquivo da Versão: "), EdNomeArquivo);
    layout->addWidget(gbVersao);

    auto *gbTipo = new QGroupBox(QStringLiteral("Tipo de Atualização"), this);
    auto *ht = new QHBoxLayout(gbTipo);
    CbTipo = new QComboBox(gbTipo);
    CbTipo->setObjectName(QStringLiteral("CbTipo"));
    CbTipo->addItems({QStringLiteral("Internet"), QStringLiteral("Arquivo Local")});
    ht->addWidget(CbTipo);
    layout->addWidget(gbTipo);

    GbLocalizacao = new QGroupBox(this);
    GbLocalizacao->setObjectName(QStringLiteral("GbLocalizacao"));
    auto *hl = new QHBoxLayout(GbLocalizacao);
    EdLocalizacao = DialogParts::readOnlyField(GbLocalizacao, QStringLiteral("EdLocalizacao"));
    BtBrowse = new QPushButton(QStringLiteral("Browse..."), GbLocalizacao);
    BtBrowse->setObjectName(QStringLiteral("BtBrowse"));
    hl->addWidget(EdLocalizacao, 1);
    hl->addWidget(BtBrowse);
    layout->addWidget(GbLocalizacao);

    GbAcompanhamento = new QGroupBox(QStringLiteral("Acompanhamento "), this);
    GbAcompanhamento->setObjectName(QStringLiteral("GbAcompanhamento"));
    auto *ga = new QGridLayout(GbAcompanhamento);
    CkProcura = stepTick(GbAcompanhamento, "CkProcura");
    CkTransferindo = stepTick(GbAcompanhamento, "CkTransferindo");
    ga->addWidget(new QLabel(QStringLiteral("Procura por versão mais atualizada...."), GbAcompanhamento), 0, 0, 1, 2);
    ga->addWidget(CkProcura, 0, 2);
    ga->addWidget(new QLabel(QStringLiteral("Transferindo arquivo com nova versão..."), GbAcompanhamento), 1, 0, 1, 2);
    ga->addWidget(CkTransferindo, 1, 2);
    EdArquivoNovo = DialogParts::readOnlyField(GbAcompanhamento, QStringLiteral("EdArquivoNovo"));
    EdVersaoNova = DialogParts::readOnlyField(GbAcompanhamento, QStringLiteral("EdVersaoNova"));
    ga->addWidget(new QLabel(QStringLiteral("Arquivo:"), GbAcompanhamento), 2, 0);
    ga->addWidget(EdArquivoNovo, 2, 1);
    ga->addWidget(new QLabel(QStringLiteral("Versão encontrada:"), GbAcompanhamento), 3, 0);
    ga->addWidget(EdVersaoNova, 3, 1);
    PbTransferencia = new QProgressBar(GbAcompanhamento);
    PbTransferencia->setObjectName(QStringLiteral("PbTransferencia"));
    ga->addWidget(PbTransferencia, 4, 0, 1, 2);
    BtInterrompe = new QPushButton(QStringLiteral("Interrompe"), GbAcompanhamento);
    BtInterrompe->setObjectName(QStringLiteral("BtInterrompe"));
    ga->addWidget(BtInterrompe, 4, 2);
    layout->addWidget(GbAcompanhamento);

    GbInstala = new QGroupBox(QStringLiteral("Instala Nova Versão "), this);
    GbInstala->setObjectName(QStringLiteral("GbInstala"));
    auto *hi = new QHBoxLayout(GbInstala);
    LbAtualiza = new QLabel(QStringLiteral("Atualizando tabelas para a nova versão... Aguarde."), GbInstala);
    LbAtualiza->setObjectName(QStringLiteral("LbAtualiza"));
    LbAtualiza->setVisible(false);
    CkAtualiza = stepTick(GbInstala, "CkAtualiza");
    hi->addWidget(LbAtualiza, 1);
    hi->addWidget(CkAtualiza);
    layout->addWidget(GbInstala);

    GbResultado = new QGroupBox(QStringLiteral("Resultado Final  "), this);
    GbResultado->setObjectName(QStringLiteral("GbResultado"));
    auto *hr = new QHBoxLayout(GbResultado);
    EdResultado = DialogParts::readOnlyField(GbResultado, QStringLiteral("EdResultado"));
    hr->addWidget(EdResultado);
    layout->addWidget(GbResultado);

    auto *buttons = new QHBoxLayout;
    BtAtualiza = new QPushButton(QStringLiteral("Atualiza Versão"), this);
    BtAtualiza->setObjectName(QStringLiteral("BtAtualiza"));
    BtCancela = new QPushButton(QStringLiteral("Cancela"), this);
    BtCancela->setObjectName(QStringLiteral("BtCancela"));
    BtSaida = new QPushButton(QStringLiteral("&Saída"), this);
    BtSaida->setObjectName(QStringLiteral("BtSaida"));
    buttons->addStretch();
    buttons->addWidget(BtAtualiza);
    buttons->addWidget(BtCancela);
    buttons->addWidget(BtSaida);
    layout->addLayout(buttons);

    ListaArq = new QListWidget(this);
    ListaArq->setObjectName(QStringLiteral("ListaArq"));
    ListaArq->setVisible(false);

    for (QGroupBox *g : {GbAcompanhamento, GbInstala, GbResultado})
        g->setVisible(false);
    setMinimumWidth(520);

    connect(CbTipo, &QComboBox::currentIndexChanged, this, &TFrmAtualizaVersao::CbTipoChange);
    connect(BtBrowse, &QPushButton::clicked, this, &TFrmAtualizaVersao::BtBrowseClick);
    connect(BtAtualiza, &QPushButton::clicked, this, &TFrmAtualizaVersao::BtAtualizaClick);
    connect(BtInterrompe, &QPushButton::clicked, this, &TFrmAtualizaVersao::BtInterrompeClick);
    connect(BtCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
}

void TFrmAtualizaVersao::CbTipoChange()
{
    if (CbTipo->currentIndex() == 0) {
        BtBrowse->setVisible(false);
        EdLocalizacao->setText(m_config.endQueloraOrigAux);
        GbLocalizacao->setTitle(QStringLiteral("Endereço Quelora para Busca de Novas Versões"));
    } else {
        BtBrowse->setVisible(true);
        EdLocalizacao->clear();
        GbLocalizacao->setTitle(QStringLiteral("Localização do Arquivo"));
    }
}

void TFrmAtualizaVersao::BtBrowseClick()
{
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Escolha de diretório"),
                                                          EdLocalizacao->text());
    if (!dir.isEmpty())
        setLocalizacao(dir);
}

void TFrmAtualizaVersao::setLocalizacao(const QString &folder)
{
    EdLocalizacao->setText(QDir::toNativeSeparators(QDir::cleanPath(folder)) + QDir::separator());
}

void TFrmAtualizaVersao::BtAtualizaClick()
{
    PbTransferencia->setValue(0);
    BtCancela->setEnabled(false);
    BtAtualiza->setEnabled(false);
    const bool internet = CbTipo->currentIndex() == 0;
    if (!internet && EdLocalizacao->text().isEmpty())
        return;
    GbAcompanhamento->setVisible(true);
    adjustSize();
    m_reception = RefUpdate::receptionDir(m_config);
    if (m_reception.isEmpty()) {
        BtInterrompe->setEnabled(false);
        EdResultado->setText(QStringLiteral("O diretório de recepção das tabelas auxiliares não está configurado."));
        showResult();
        return;
    }
    if (internet)
        runInternet();
    else
        runLocal();
}

bool TFrmAtualizaVersao::waitFor(int op)
{
    bool ok = false;
    QEventLoop loop;
    const auto c = connect(m_ftp, &AsyncFtpClient::finished, &loop, [&](FtpOperation done, bool success) {
        if (int(done) == op) {
            ok = success;
            loop.quit();
        }
    });
    loop.exec();
    disconnect(c);
    return ok;
}

void TFrmAtualizaVersao::runInternet()
{
    const FtpAddress address = FtpAddress::split(m_config.endQueloraOrigAux);
    m_ftp = new AsyncFtpClient(this);
    connect(m_ftp, &AsyncFtpClient::listItem, this, [this](const QString &name) { ListaArq->addItem(name); });
    connect(m_ftp, &AsyncFtpClient::failed, this, [this](const FtpFailure &f) {
        if (f.kind == FtpFailure::Aborted)
            return;
        if (!m_failed)
            m_failure = f;
        m_failed = true;
    });
    connect(m_ftp, &AsyncFtpClient::progress, this, [this](qint64 done, qint64 total) {
        if (total > 0)
            PbTransferencia->setMaximum(int(qMin<qint64>(total, INT_MAX)));
        PbTransferencia->setValue(int(qMin<qint64>(done, INT_MAX)));
    });
    {
        Hourglass wait;
        m_ftp->setSettings(FtpSettings::fromConfig(address, m_config));
        ListaArq->clear();
        m_ftp->connectToHost();
        m_ftp->changeDirectory(address.path);
        m_ftp->listNames();
        waitFor(int(FtpOperation::List));
    }
    if (m_failed && m_failure.kind == FtpFailure::Error && !m_interrupted) {
        // The connection itself was refused: the window's warning, as any
        // unexpected error of this window.
        m_messenger.warning(FtpTexts::connectError(m_failure.text));
    }
    if (!m_failed && !m_interrupted) {
        QStringList names;
        for (int i = 0; i < ListaArq->count(); ++i)
            names << ListaArq->item(i)->text();
        const QString best = RefVersion::newest(names, m_currentFile);
        if (best == m_currentFile) {
            m_ftp->disconnectFromHost();
            BtInterrompe->setEnabled(false);
            CkProcura->setVisible(true);
            EdResultado->setText(RefUpdate::NotFound);
            showResult();
            return;
        }
        m_found = true;
        const QString local = QDir(m_reception).filePath(best);
        QFile::remove(local);
        EdArquivoNovo->setText(best);
        EdVersaoNova->setText(RefVersion::versionOf(best));
        CkProcura->setVisible(true);
        m_ftp->download(best, local);
        waitFor(int(FtpOperation::Download));
        m_ftp->disconnectFromHost();
        CkTransferindo->setVisible(!m_failed && !m_interrupted);
        BtInterrompe->setEnabled(false);
    } else {
        m_ftp->disconnectFromHost();
    }
    BtInterrompe->setEnabled(false);
    if (m_interrupted) {
        showResult();
    } else if (m_failed) {
        EdResultado->setText(m_found ? FtpTexts::updateTransferError(m_failure.text) : m_failure.text);
        showResult();
    } else {
        install();
    }
}

void TFrmAtualizaVersao::runLocal()
{
    const QString folder = QDir::fromNativeSeparators(EdLocalizacao->text());
    const QString current = RefVersion::fileNameFor(m_currentVersion);
    const QString best = RefUpdate::findInFolder(folder, current);
    if (best == current) {
        BtInterrompe->setEnabled(false);
        CkProcura->setVisible(true);
        EdResultado->setText(RefUpdate::NotFoundLocal);
        showResult();
        return;
    }
    m_found = true;
    CkProcura->setVisible(true);
    EdVersaoNova->setText(RefVersion::versionOf(best));
    EdArquivoNovo->setText(best);
    const QString from = QDir(folder).filePath(best);
    const QString to = QDir(m_reception).filePath(best);
    PbTransferencia->setMaximum(int(qMin<qint64>(QFileInfo(from).size(), INT_MAX)));
    QString error;
    RefUpdate::CopyResult result = RefUpdate::CopyResult::Done;
    if (QFileInfo(from).canonicalFilePath() != QFileInfo(to).canonicalFilePath())
        result = RefUpdate::copyInBlocks(
            from, to,
            [this](qint64 done, qint64) {
                PbTransferencia->setValue(int(qMin<qint64>(done, INT_MAX)));
                QApplication::processEvents();
            },
            &m_interrupted, &error);
    BtInterrompe->setEnabled(false);
    if (result == RefUpdate::CopyResult::Done && !m_interrupted) {
        CkTransferindo->setVisible(true);
        install();
    } else {
        if (result == RefUpdate::CopyResult::Failed)
            EdResultado->setText(FtpTexts::updateTransferError(error));
        showResult();
    }
}

void TFrmAtualizaVersao::BtInterrompeClick()
{
    Hourglass wait;
    BtInterrompe->setEnabled(false);
    EdResultado->setText(m_found ? FtpTexts::UpdateInterrupted : FtpTexts::Interrupted);
    m_interrupted = true;
    if (m_ftp)
        m_ftp->abort();
}

void TFrmAtualizaVersao::install()
{
    GbInstala->setVisible(true);
    LbAtualiza->setVisible(true);
    adjustSize();
    QApplication::processEvents();
    QString detail;
    QStringList ignored;
    {
        Hourglass wait;
        m_installed = RefInstall::install(m_db, m_reception, EdArquivoNovo->text(), &detail, &ignored);
    }
    if (m_installed) {
        EdVersaoAtual->setText(EdVersaoNova->text());
        EdNomeArquivo->setText(EdArquivoNovo->text());
        CkAtualiza->setVisible(true);
        EdResultado->setText(ignored.isEmpty()
                                 ? RefInstall::Installed
                                 : RefInstall::Installed + QLatin1Char(' ') + RefInstall::ignoredText(ignored));
    } else {
        m_messenger.error(RefInstall::errorBoxText(detail));
        EdResultado->setText(RefInstall::InstallError);
    }
    showResult();
}

void TFrmAtualizaVersao::showResult()
{
    GbResultado->setVisible(true);
    adjustSize();
    BtSaida->setFocus();
}
