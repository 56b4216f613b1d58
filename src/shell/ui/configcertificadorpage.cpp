#include "shell/ui/configcertificadorpage.h"

#include "base/messenger.h"
#include "db/dberror.h"
#include "shell/ui/configpageparts.h"
#include "widgets/dialogparts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConfigCertificadorPage::ConfigCertificadorPage(Database &db, Messenger &messenger, CertifierCopyFn certifierCopy,
                                               QWidget *parent)
    : QWidget(parent),
      m_messenger(messenger),
      m_editing(db, messenger, std::move(certifierCopy))
{
    setObjectName(QStringLiteral("ConfigCertificador"));

    auto *group = new QGroupBox(QStringLiteral("Configuração do Certificador"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    auto *intro = new QLabel(
        QStringLiteral("Entre aqui com os dados de configuração do Certificador, conforme recebido do Quelora."),
        group);
    intro->setObjectName(QStringLiteral("Label3"));
    intro->setWordWrap(true);

    m_sigla = ConfigPageParts::edit(group, QStringLiteral("DbeSiglaCert"), QStringLiteral("SiglaCertificador"));
    m_sigla->setValidator(new ConfigPageParts::UpperCase(m_sigla));
    m_sigla->setMaximumWidth(m_sigla->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    m_nome = ConfigPageParts::edit(group, QStringLiteral("DBEdit2"), QStringLiteral("NomeOCC"));

    auto *form = new QFormLayout;
    form->addRow(DialogParts::label(group, QStringLiteral("Label4"), QStringLiteral("Sigla do Certificador"), m_sigla),
                 m_sigla);
    form->addRow(DialogParts::label(group, QStringLiteral("Label5"), QStringLiteral("Nome do Certificador"), m_nome),
                 m_nome);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(intro);
    groupLayout->addLayout(form);
    groupLayout->addStretch(1);

    m_ok = DialogParts::button(this, QStringLiteral("btnOK"), QStringLiteral("Ok"));
    QPushButton *cancel = DialogParts::button(this, QStringLiteral("btnCancel"), QStringLiteral("Cancela"));
    ConfigPageParts::layOut(this, group, m_ok, cancel);

    connect(m_ok, &QPushButton::clicked, this, &ConfigCertificadorPage::save);
    connect(cancel, &QPushButton::clicked, this, &ConfigCertificadorPage::discard);
}

void ConfigCertificadorPage::fill(const ConfigLocal &row)
{
    m_row = row;
    m_sigla->setText(row.siglaCertificador);
    m_nome->setText(row.nomeOCC);
}

void ConfigCertificadorPage::enter()
{
    try {
        fill(m_editing.open());
        m_ok->setEnabled(true);
    } catch (const DbError &e) {
        // Only "Cancela" is left to the user.
        fill(ConfigLocal{});
        m_ok->setEnabled(false);
        m_messenger.warning(e.message());
    }
    m_sigla->setFocus();
}

void ConfigCertificadorPage::save()
{
    ConfigLocal edited = m_row;
    edited.siglaCertificador = m_sigla->text();
    edited.nomeOCC = m_nome->text();
    if (m_editing.confirm(edited))
        emit leave();
}

void ConfigCertificadorPage::discard()
{
    try {
        fill(m_editing.cancel());
    } catch (const DbError &e) {
        m_messenger.warning(e.message());
    }
    emit leave();
}
