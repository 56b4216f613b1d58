#include "remessa/ui/tfrmenviatxt_ftp.h"
#include "base/moments.h"

#include "base/messenger.h"
#include "db/database.h"
#include "remessa/txtsending.h"
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

TFrmEnviaTXT_FTP::TFrmEnviaTXT_FTP(Database &db, Messenger &messenger, const QString &acronym, QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_msg(messenger),
      m_acronym(acronym)
{
    setObjectName(QStringLiteral("FrmEnviaTXT_FTP"));
    setWindowTitle(QStringLiteral("Transfere arquivo TXT "));

    DirectoryListBox1 = new QLineEdit;
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DriveComboBox1 = DialogParts::namedButton(QStringLiteral("DriveComboBox1"), QStringLiteral("Escolher pasta..."));
    LbarquivoTXT = new QListWidget;
    LbarquivoTXT->setObjectName(QStringLiteral("LbarquivoTXT"));
    BtTransfere = DialogParts::namedButton(QStringLiteral("BtTransfere"),
                                           QStringLiteral("Transfere Arquivo para o QUELORA..."));
    BtSair = DialogParts::namedButton(QStringLiteral("BtSair"), QStringLiteral("&Sair"));

    auto *place = new QGroupBox(QStringLiteral("Localização do Arquivo "));
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(DirectoryListBox1, 1);
    dirRow->addWidget(DriveComboBox1);
    auto *placeLayout = new QVBoxLayout(place);
    placeLayout->addLayout(dirRow);
    auto *listLabel = new QLabel(QStringLiteral("Arquivos a serem enviados:"));
    listLabel->setBuddy(LbarquivoTXT);
    placeLayout->addWidget(listLabel);
    placeLayout->addWidget(LbarquivoTXT);

    m_log = new LogModel(this);
    DBGrid1 = new QTableView;
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(m_log);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    auto *events = new QGroupBox(QStringLiteral("Evento de Remessa"));
    (new QVBoxLayout(events))->addWidget(DBGrid1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BtTransfere);
    buttons->addStretch();
    buttons->addWidget(BtSair);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(place, 1);
    layout->addLayout(buttons);
    layout->addWidget(events, 1);
    resize(640, 560);

    connect(DriveComboBox1, &QPushButton::clicked, this, &TFrmEnviaTXT_FTP::DriveComboBox1Click);
    connect(DirectoryListBox1, &QLineEdit::editingFinished, this, &TFrmEnviaTXT_FTP::DirectoryListBox1Change);
    connect(BtTransfere, &QPushButton::clicked, this, &TFrmEnviaTXT_FTP::BtTransfereClick);
    connect(BtSair, &QPushButton::clicked, this, &QDialog::accept);

    setDirectory(QDir::homePath());
    reloadLog();
}

TFrmEnviaTXT_FTP::~TFrmEnviaTXT_FTP() = default;

void TFrmEnviaTXT_FTP::setDirectory(const QString &dir)
{
    m_dir = QDir::cleanPath(dir);
    DirectoryListBox1->setText(QDir::toNativeSeparators(m_dir));
    LbarquivoTXT->clear();
    LbarquivoTXT->addItems(TxtSending::listFiles(m_dir, m_acronym));
}

void TFrmEnviaTXT_FTP::DriveComboBox1Click()
{
    const QString dir = FolderChooser::choose(FolderChooser::Face::Transfer, this, m_dir);
    if (!dir.isEmpty())
        setDirectory(dir);
}

void TFrmEnviaTXT_FTP::DirectoryListBox1Change()
{
    const QString typed = QDir::fromNativeSeparators(DirectoryListBox1->text().trimmed());
    if (QDir::cleanPath(typed) != m_dir && QFileInfo(typed).isDir())
        setDirectory(typed);
    else
        DirectoryListBox1->setText(QDir::toNativeSeparators(m_dir));
}

void TFrmEnviaTXT_FTP::BtTransfereClick()
{
    const QListWidgetItem *item = LbarquivoTXT->currentItem();
    if (!item || !item->isSelected()) {
        m_msg.information(QStringLiteral("Por favor selecione um arquivo"));
        return;
    }
    const QString name = item->text();
    if (TxtSending::alreadySent(m_db, name)) {
        m_msg.information(TxtSending::alreadySentMessage(name));
        return;
    }
    if (m_opener)
        m_opener(this, m_dir + QLatin1Char('/'), name);
    else
        m_msg.information(QStringLiteral("Função disponível em versão futura."));
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
    DBGrid1->resizeColumnsToContents();
}
