#include "shell/ui/configuradiretoriospage.h"

#include "base/messenger.h"
#include "db/dberror.h"
#include "shell/copysettings.h"
#include "shell/databasecopies.h"
#include "shell/ui/configpageparts.h"
#include "widgets/dialogparts.h"
#include "widgets/folderchooser.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

struct Row
{
    const char *name;
    const char *column;
    const char *label;
};

const Row kFolders[] = {
    {"dbeSinc", "DirLocalSincr", "Diretório Local de Tabelas de Sincronização"},
    {"dbeTransf", "DirLocalTransf", "Diretório Local de Transferência de Remessas"},
    {"dbeTabAux", "DirLocalRecepAux", "Diretório Local de Recepção de Tabelas Auxiliares"},
};
const char *kBrowseNames[] = {"bbtBrowse2", "bbtBrowse3", "bbtBrowse4"};

const Row kFtp[] = {
    {"dbeEnvioRemessas", "EndQueloraEnvio", "Endereço Quelora para Envio de Remessas"},
    {"dbeResult", "EndQueloraResult", "Endereço Quelora para Busca de Resultado"},
    {"dbeEndTabAux", "EndQueloraOrigAux", "Endereço Quelora para Busca Tab. Auxiliares"},
    {"dbeLoginFTP", "LoginFTP", "Login do Servidor FTP do Quelora"},
    {"dbeSenhaFTP", "SenhaFTP", "Senha do Servidor FTP do Quelora"},
    {"dbeCertificadoTLS", "ArqCertificadoTLS", "Arquivo de Certificado (TLS) dos Servidores"},
};

const Row kMail[] = {
    {"DBEdit1", "EndSMTPHost", "Endereço o Host - EMail"},
    {"DBEdit3", "EndSMTPPort", "Porta do Host - EMail"},
    {"DBEdit4", "EndSMTPUsuario", "Login do Usuário Local do EMail"},
    {"DBEdit5", "EndSMTPUsuReply", "Responsável Quelora receb. do EMail"},
    {"DBEdit6", "EndSMTPEMailReply", "EMail do Responsável Quelora"},
};

}

ConfiguraDiretoriosPage::ConfiguraDiretoriosPage(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy,
                                                 QWidget *parent)
    : QWidget(parent),
      m_db(db),
      m_messenger(messenger),
      m_editing(db, messenger, std::move(certifierCopy)),
      m_chooser([](QWidget *p, const QString &current) {
          return FolderChooser::choose(FolderChooser::Face::Settings, p, current);
      })
{
    setObjectName(QStringLiteral("ConfiguraDiretorios"));

    auto *outer = new QGroupBox(QStringLiteral("Configuração de Diretórios"), this);
    outer->setObjectName(QStringLiteral("GroupBox1"));

    auto makeGroup = [outer](const QString &name, const QString &title) {
        auto *g = new QGroupBox(title, outer);
        g->setObjectName(name);
        auto *grid = new QGridLayout(g);
        grid->setColumnStretch(1, 1);
        return g;
    };
    auto addRow = [this](QGroupBox *g, const Row &r, QPushButton *extra = nullptr) {
        auto *grid = static_cast<QGridLayout *>(g->layout());
        const int line = grid->rowCount();
        QLineEdit *e = addEdit(g, QLatin1String(r.name), QLatin1String(r.column));
        grid->addWidget(
            DialogParts::label(g, QStringLiteral("Lb") + QLatin1String(r.name), QString::fromUtf8(r.label), e), line,
            0);
        grid->addWidget(e, line, 1);
        if (extra)
            grid->addWidget(extra, line, 2);
        return e;
    };

    QGroupBox *folders = makeGroup(QStringLiteral("GbDirLocais"), QStringLiteral(" Diretórios Locais "));
    for (int i = 0; i < 3; ++i) {
        QPushButton *b = DialogParts::button(folders, QLatin1String(kBrowseNames[i]), QStringLiteral("Browse..."));
        QLineEdit *e = addRow(folders, kFolders[i], b);
        e->setReadOnly(true);
        // A chosen path too long for the column is refused when saved, never cut.
        e->setMaxLength(32767);
        m_browse << b;
        connect(b, &QPushButton::clicked, this, [this, e] { browse(e); });
    }
    m_copies = new QSpinBox(folders);
    m_copies->setObjectName(QStringLiteral("spnQtdCopias"));
    m_copies->setRange(CopySettings::Minimum, CopySettings::Maximum);
    m_copies->setValue(DatabaseCopies::DefaultKeep);
    m_copies->setMaximumWidth(90);
    {
        auto *grid = static_cast<QGridLayout *>(folders->layout());
        const int line = grid->rowCount();
        grid->addWidget(DialogParts::label(folders, QStringLiteral("LbQtdCopias"),
                                           QStringLiteral("Cópias da base de dados a manter"), m_copies),
                        line, 0);
        grid->addWidget(m_copies, line, 1, Qt::AlignLeft);
    }

    QGroupBox *ftp = makeGroup(QStringLiteral("GbEndFTP"), QStringLiteral(" Endereços FTP do Quelora "));
    for (const Row &r : kFtp)
        addRow(ftp, r);
    QLineEdit *password = m_edits.value(QStringLiteral("SenhaFTP"));
    DialogParts::maskPassword(password);

    QGroupBox *mail = makeGroup(QStringLiteral("GbEndEMail"), QStringLiteral(" Endereços EMail Local "));
    for (const Row &r : kMail)
        addRow(mail, r);

    auto *outerLayout = new QVBoxLayout(outer);
    outerLayout->addWidget(folders);
    outerLayout->addWidget(ftp);
    outerLayout->addWidget(mail);
    outerLayout->addStretch(1);

    m_ok = DialogParts::button(this, QStringLiteral("BitBtn10"), QStringLiteral("Ok"));
    m_cancel = DialogParts::button(this, QStringLiteral("BitBtn11"), QStringLiteral("Cancela"));
    ConfigPageParts::layOut(this, outer, m_ok, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &ConfiguraDiretoriosPage::save);
    connect(m_cancel, &QPushButton::clicked, this, &ConfiguraDiretoriosPage::discard);
}

QLineEdit *ConfiguraDiretoriosPage::addEdit(QWidget *group, const QString &name, const QString &column)
{
    QLineEdit *e = ConfigPageParts::edit(group, name, column);
    m_edits.insert(column, e);
    return e;
}

void ConfiguraDiretoriosPage::fill(const ConfigLocal &row)
{
    m_row = row;
    for (auto it = m_edits.begin(); it != m_edits.end(); ++it)
        it.value()->setText(row.value(it.key()));
}

void ConfiguraDiretoriosPage::enter()
{
    try {
        fill(m_editing.openForEditing());
    } catch (const DbError &e) {
        fill(ConfigLocal{});
        m_messenger.warning(e.message());
    }
    try {
        m_copies->setValue(CopySettings::keep(m_db));
    } catch (const DbError &) {
        m_copies->setValue(DatabaseCopies::DefaultKeep);
    }
    // Without a configured certifier the row is shown but cannot be changed.
    const bool editable = m_editing.editable();
    m_copies->setEnabled(editable);
    for (QLineEdit *e : std::as_const(m_edits))
        if (!m_edits.key(e).startsWith(QLatin1String("DirLocal")))
            e->setReadOnly(!editable);
    for (QPushButton *b : std::as_const(m_browse))
        b->setEnabled(editable);
    if (editable)
        m_browse.first()->setFocus();
    else
        m_cancel->setFocus();
}

void ConfiguraDiretoriosPage::browse(QLineEdit *target)
{
    if (!m_editing.editable() || !m_chooser)
        return;
    const QString chosen = m_chooser(this, target->text());
    if (!chosen.isEmpty())
        target->setText(chosen);
}

void ConfiguraDiretoriosPage::save()
{
    ConfigLocal edited = m_row;
    for (auto it = m_edits.begin(); it != m_edits.end(); ++it)
        edited.setValue(it.key(), it.value()->text());
    if (m_editing.confirm(edited, m_copies->value()))
        emit leave();
}

void ConfiguraDiretoriosPage::discard()
{
    try {
        fill(m_editing.cancel());
    } catch (const DbError &e) {
        m_messenger.warning(e.message());
    }
    emit leave();
}
