#include "refupdate/ui/versionparts.h"

#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "refupdate/refinstall.h"
#include "widgets/dialogparts.h"
#include "widgets/jobrunner.h"
#include "widgets/stepparts.h"

#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>
#include <optional>

namespace {
// The installation's own connection to the window's database file.
const QString InstallConnection = QStringLiteral("CapaCertific_Instalacao");

QString when(const QDateTime &t)
{
    return t.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}
}

namespace VersionParts {

CurrentVersion addCurrentVersion(QWidget *window, QVBoxLayout *layout)
{
    auto *box = new QGroupBox(QStringLiteral("Versão Atual das Tabelas Auxiliares "), window);
    auto *form = new QFormLayout(box);
    const CurrentVersion fields{DialogParts::readOnlyField(box, QStringLiteral("EdVersaoAtual")),
                                DialogParts::readOnlyField(box, QStringLiteral("EdNomeArquivo"))};
    form->addRow(QStringLiteral("Número da Versão: "), fields.version);
    form->addRow(QStringLiteral("Arquivo da Versão: "), fields.fileName);
    layout->addWidget(box);
    return fields;
}

QLabel *stepTick(QWidget *parent, const char *name)
{
    auto *l = new QLabel(QStringLiteral("\u2714"), parent);
    l->setObjectName(QLatin1String(name));
    l->setVisible(false);
    return l;
}

void fill(QStandardItemModel *model, const QList<RefVersion::Installation> &rows, Columns columns)
{
    model->clear();
    if (columns == Columns::History)
        model->setHorizontalHeaderLabels(
            {QStringLiteral("Data/Hora"), QStringLiteral("Versão Instalada"), QStringLiteral("Arquivo da Versão")});
    else
        model->setHorizontalHeaderLabels(
            {QStringLiteral("Versão"), QStringLiteral("Arquivo"), QStringLiteral("Data de Instalação")});
    for (const RefVersion::Installation &r : rows) {
        QList<QStandardItem *> items;
        if (columns == Columns::History)
            items = {new QStandardItem(when(r.when)), new QStandardItem(r.version), new QStandardItem(r.fileName)};
        else
            items = {new QStandardItem(r.version), new QStandardItem(r.fileName), new QStandardItem(when(r.when))};
        for (QStandardItem *i : items)
            i->setEditable(false);
        model->appendRow(items);
    }
}

QTableView *grid(QWidget *parent, const char *name, QStandardItemModel *model)
{
    QTableView *v = DialogParts::rowGrid(parent, QLatin1String(name));
    v->setModel(model);
    return v;
}


QTableView *addGrid(QWidget *window, QVBoxLayout *layout, const QString &title, const char *name,
                    QStandardItemModel *model)
{
    auto *box = new QGroupBox(title, window);
    auto *inside = new QVBoxLayout(box);
    QTableView *view = grid(box, name, model);
    inside->addWidget(view);
    layout->addWidget(box, 1);
    return view;
}

}

VersionInstaller::VersionInstaller(QDialog *window, QVBoxLayout *layout, Database &db, Messenger &messenger)
    : QObject(window),
      m_window(window),
      m_db(db),
      m_messenger(messenger),
      m_runner(new JobRunner(this))
{
    installBox = new QGroupBox(QStringLiteral("Instala Nova Versão "), window);
    installBox->setObjectName(QStringLiteral("GbInstala"));
    installing = new QLabel(QStringLiteral("Atualizando tabelas para a nova versão... Aguarde."), installBox);
    installing->setObjectName(QStringLiteral("LbAtualiza"));
    installing->setVisible(false);
    installedTick = VersionParts::stepTick(installBox, "CkAtualiza");
    StepParts::addRow(layout, installBox, installing, installedTick);

    resultBox = new QGroupBox(QStringLiteral("Resultado Final  "), window);
    resultBox->setObjectName(QStringLiteral("GbResultado"));
    auto *hr = new QHBoxLayout(resultBox);
    result = DialogParts::readOnlyField(resultBox, QStringLiteral("EdResultado"));
    hr->addWidget(result);
    layout->addWidget(resultBox);

    auto *buttons = new QHBoxLayout;
    auto button = [window](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, window);
        b->setObjectName(name);
        return b;
    };
    updateButton = button(QStringLiteral("BtAtualiza"), QStringLiteral("Atualiza Versão"));
    cancelButton = button(QStringLiteral("BtCancela"), QStringLiteral("Cancela"));
    leaveButton = button(QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    buttons->addStretch();
    buttons->addWidget(updateButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(leaveButton);
    layout->addLayout(buttons);
    installBox->setVisible(false);
    resultBox->setVisible(false);

    connect(cancelButton, &QPushButton::clicked, window, &QDialog::reject);
    connect(leaveButton, &QPushButton::clicked, window, &QDialog::accept);
}

bool VersionInstaller::isRunning() const
{
    return m_runner->isRunning();
}

QString VersionInstaller::resultText(const RefUpdate::Outcome &outcome)
{
    if (!outcome.installed)
        return RefInstall::InstallError;
    return outcome.ignored.isEmpty() ? outcome.result : outcome.result + QLatin1Char(' ') + outcome.ignored;
}

void VersionInstaller::install(const Work &work)
{
    installBox->setVisible(true);
    installing->setVisible(true);
    if (adjustsWindow)
        m_window->adjustSize();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto outcome = std::make_shared<RefUpdate::Outcome>();
    connect(
        m_runner, &JobRunner::finished, this,
        [this, outcome] {
            QApplication::restoreOverrideCursor();
            if (outcome->installed)
                installedTick->setVisible(true);
            else
                m_messenger.error(RefInstall::errorBoxText(outcome->detail));
            emit installed(*outcome);
            showResult(resultText(*outcome));
        },
        Qt::SingleShotConnection);
    // The work has a connection of its own to the same register.
    std::optional<ServerAddress> server;
    if (m_db.onServer())
        server = m_db.server();
    m_runner->start([outcome, work, path = m_db.path(), server](JobProgress &) {
        try {
            Database db(InstallConnection);
            if (server)
                db.openServer(*server);
            else
                db.open(path);
            *outcome = work(db);
        } catch (const DbError &e) {
            // The register could not be opened: nothing was installed.
            outcome->installed = false;
            outcome->detail = e.message();
        } catch (const std::exception &e) {
            outcome->installed = false;
            outcome->detail = QString::fromUtf8(e.what());
        }
    });
}

void VersionInstaller::showResult(const QString &text)
{
    if (!text.isEmpty())
        result->setText(text);
    resultBox->setVisible(true);
    if (adjustsWindow)
        m_window->adjustSize();
    leaveButton->setFocus();
    emit resultShown();
}
