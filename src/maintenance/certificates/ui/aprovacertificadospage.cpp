#include "maintenance/certificates/ui/aprovacertificadospage.h"

#include "base/errorlog.h"
#include "base/messenger.h"
#include "db/database.h"
#include "db/dberror.h"
#include "maintenance/certificates/certificateapproval.h"
#include "register/statusevents.h"
#include "shell/loginstate.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

AprovaCertificadosPage::AprovaCertificadosPage(Database &db, Messenger &messenger, const LoginState &login,
                                               QWidget *parent)
    : QWidget(parent),
      m_db(db),
      m_messenger(messenger),
      m_login(login)
{
    setObjectName(QStringLiteral("AprovaCertificados"));

    auto *group = new QGroupBox(QStringLiteral("Aprovação de Certificados"), this);
    group->setObjectName(QStringLiteral("GroupBox8"));
    m_model = new QSqlQueryModel(this);
    candidateGrid = new QTableView(group);
    candidateGrid->setObjectName(QStringLiteral("DBGrid24"));
    candidateGrid->setAccessibleName(group->title());
    candidateGrid->setModel(m_model);
    candidateGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    candidateGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    candidateGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    candidateGrid->setAlternatingRowColors(true);
    candidateGrid->verticalHeader()->setDefaultSectionSize(candidateGrid->fontMetrics().height() + 8);
    candidateGrid->verticalHeader()->hide();
    candidateGrid->horizontalHeader()->setStretchLastSection(true);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(candidateGrid);

    approveButton = DialogParts::button(this, QStringLiteral("BitBtn9"), QStringLiteral("Aprova Certificado"));
    approveButton->setDefault(true);
    exitButton = DialogParts::button(this, QStringLiteral("BitBtn17"), QStringLiteral("&Saida"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(approveButton);
    buttons->addWidget(exitButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    connect(approveButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { approveSelected(); }));
    connect(exitButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { leavePage(); }));
}

void AprovaCertificadosPage::enter()
{
    refresh();
    candidateGrid->setFocus();
}

void AprovaCertificadosPage::refresh()
{
    m_model->clear();
    QSqlQuery q(m_db.handle());
    if (!q.exec(CertificateApproval::candidatesSql()))
        throw DbError(q.lastError());
    m_model->setQuery(std::move(q));
    m_model->setHeaderData(0, Qt::Horizontal, QStringLiteral("Sigla do Certificador"));
    m_model->setHeaderData(1, Qt::Horizontal, QStringLiteral("Número do Certificado"));
    candidateGrid->setColumnHidden(2, true);
    candidateGrid->setColumnHidden(3, true);
    candidateGrid->setColumnWidth(0, 160);
}

void AprovaCertificadosPage::approveSelected()
{
    QModelIndexList rows = candidateGrid->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    // In list order, whatever order the rows were picked in.
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<CertificateKey> keys;
    for (const QModelIndex &row : std::as_const(rows))
        keys.append({m_model->index(row.row(), 0).data().toString(), m_model->index(row.row(), 1).data().toString()});
    // The list's statement is let go before the writes.
    m_model->clear();

    candidateGrid->setUpdatesEnabled(false);
    try {
        CertificateApproval::approve(m_db, keys, m_login.userCode);
    } catch (const std::runtime_error &e) {
        const auto *db = dynamic_cast<const DbError *>(&e);
        const auto *app = dynamic_cast<const AppError *>(&e);
        if (!db && !app) {
            candidateGrid->setUpdatesEnabled(true);
            refresh();
            throw;
        }
        // The cause goes to the error log; the user gets the plain box.
        ErrorLog::append(db ? db->message() : app->message(), DbErrors::className(e));
        m_messenger.error(StatusEvents::failureText(e, CertificateApproval::ErrorText),
                          CertificateApproval::ErrorCaption);
    }
    candidateGrid->setUpdatesEnabled(true);
    refresh();
}

void AprovaCertificadosPage::leavePage()
{
    m_model->clear();
    emit leave();
}
