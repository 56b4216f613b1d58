#include "remessa/ui/tfrmenviatxt_ftp.h"
#include "base/moments.h"

#include "base/messenger.h"
#include "db/database.h"
#include "remessa/remessacontrol.h"
#include "remessa/remessawork.h"
#include "remessa/txtsending.h"
#include "remessa/ui/tfrmselecaotransferencia.h"
#include "shell/loginstate.h"
#include "widgets/dialogparts.h"
#include "widgets/folderchooser.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The sent-file log with its dates in the workstation's form.
class LogModel : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        const QVariant v = QSqlQueryModel::data(index, role);
        if (role == Qt::DisplayRole && index.column() == 1 && !v.isNull()) {
            const QDateTime moment = Moments::fromValue(v);
            if (moment.isValid())
                return moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        }
        return v;
    }
};

}

TFrmEnviaTXT_FTP::TFrmEnviaTXT_FTP(Database &db, Messenger &messenger, const QString &acronym, const LoginState &login,
                                   QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_acronym(acronym)
{
    // The chosen file goes through the transfer mode choice, with its own
    // folder in place of the transfer directory.
    m_opener = [this, login](QWidget *owner, const QString &dir, const QString &fileName) {
        RemessaWork work = RemessaWork::from(RemessaControl::workingValues(m_db), login);
        work.transferDir = dir;
        TFrmSelecaoTransferencia choice(work, m_db, m_msg, owner);
        choice.setFileName(fileName);
        choice.exec();
    };
    setObjectName(QStringLiteral("FrmEnviaTXT_FTP"));
    setWindowTitle(QStringLiteral("Transfere arquivo TXT "));

    folderEdit = new QLineEdit;
    folderEdit->setObjectName(QStringLiteral("DirectoryListBox1"));
    folderButton = DialogParts::namedButton(QStringLiteral("DriveComboBox1"), QStringLiteral("Escolher pasta..."));
    fileList = new QListWidget;
    fileList->setObjectName(QStringLiteral("LbarquivoTXT"));
    transferButton = DialogParts::namedButton(QStringLiteral("BtTransfere"),
                                              QStringLiteral("Transfere Arquivo para o QUELORA..."));
    exitButton = DialogParts::namedButton(QStringLiteral("BtSair"), QStringLiteral("&Sair"));

    auto *place = new QGroupBox(QStringLiteral("Localização do Arquivo "));
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(folderEdit, 1);
    dirRow->addWidget(folderButton);
    auto *placeLayout = new QVBoxLayout(place);
    placeLayout->addLayout(dirRow);
    auto *listLabel = new QLabel(QStringLiteral("Arquivos a serem enviados:"));
    listLabel->setBuddy(fileList);
    placeLayout->addWidget(listLabel);
    placeLayout->addWidget(fileList);

    m_log = new LogModel(this);
    logGrid = new QTableView;
    logGrid->setObjectName(QStringLiteral("DBGrid1"));
    logGrid->setModel(m_log);
    logGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    logGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    logGrid->verticalHeader()->hide();
    logGrid->setWordWrap(false);
    logGrid->horizontalHeader()->setStretchLastSection(true);
    auto *events = new QGroupBox(QStringLiteral("Evento de Remessa"));
    (new QVBoxLayout(events))->addWidget(logGrid);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(transferButton);
    buttons->addStretch();
    buttons->addWidget(exitButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(place, 1);
    layout->addLayout(buttons);
    layout->addWidget(events, 1);
    resize(640, 560);

    connect(folderButton, &QPushButton::clicked, this, &TFrmEnviaTXT_FTP::chooseFolder);
    connect(folderEdit, &QLineEdit::editingFinished, this, &TFrmEnviaTXT_FTP::DirectoryListBox1Change);
    connect(transferButton, &QPushButton::clicked, this, &TFrmEnviaTXT_FTP::sendFile);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    setDirectory(QDir::homePath());
    reloadLog();
}

TFrmEnviaTXT_FTP::~TFrmEnviaTXT_FTP() = default;

void TFrmEnviaTXT_FTP::setDirectory(const QString &dir)
{
    m_dir = QDir::cleanPath(dir);
    folderEdit->setText(QDir::toNativeSeparators(m_dir));
    fileList->clear();
    fileList->addItems(TxtSending::listFiles(m_dir, m_acronym));
}

void TFrmEnviaTXT_FTP::chooseFolder()
{
    const QString dir = FolderChooser::choose(FolderChooser::Face::Transfer, this, m_dir);
    if (!dir.isEmpty())
        setDirectory(dir);
}

void TFrmEnviaTXT_FTP::DirectoryListBox1Change()
{
    const QString typed = QDir::fromNativeSeparators(folderEdit->text().trimmed());
    if (QDir::cleanPath(typed) != m_dir && QFileInfo(typed).isDir())
        setDirectory(typed);
    else
        folderEdit->setText(QDir::toNativeSeparators(m_dir));
}

void TFrmEnviaTXT_FTP::sendFile()
{
    const QListWidgetItem *item = fileList->currentItem();
    if (!item || !item->isSelected()) {
        m_msg.information(QStringLiteral("Por favor selecione um arquivo"));
        return;
    }
    const QString name = item->text();
    if (TxtSending::alreadySent(m_db, name)) {
        m_msg.information(TxtSending::alreadySentMessage(name));
        return;
    }
    m_opener(this, m_dir + QLatin1Char('/'), name);
    reloadLog();
    setDirectory(m_dir);
}

void TFrmEnviaTXT_FTP::reloadLog()
{
    // A scrollable query: the grid fetches rows as it shows them.
    QSqlQuery q(m_db.handle());
    q.exec(QStringLiteral("SELECT NomeArquivo, DataHoraEvento, UsuResp, "
                          "CASE WHEN EnviadoQUELORA = 'S' THEN 'Sim' ELSE 'Não' END AS ArquivoEnviado "
                          "FROM CONTROLE_TXT ORDER BY DataHoraEvento"));
    m_log->setQuery(std::move(q));
    const QStringList titles{QStringLiteral("Arquivo Enviado"), QStringLiteral("Data de Envio"),
                             QStringLiteral("Usuário"), QStringLiteral("Enviado ao QUELORA")};
    for (int i = 0; i < titles.size(); ++i)
        m_log->setHeaderData(i, Qt::Horizontal, titles.at(i));
    logGrid->resizeColumnsToContents();
}
