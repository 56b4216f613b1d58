#include "remessa/ui/tfrmprincipalremessas.h"
#include "base/messenger.h"
#include "remessa/registerstep.h"
#include "remessa/ui/tfrmnovaremessa.h"
#include "remessa/ui/tfrmselecaoresultado.h"
#include "remessa/ui/tfrmselecaotransferencia.h"
#include "reports/bandedreport.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/reportpreview.h"
#include "widgets/spreadsheetexport.h"

#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QTableView *grid(QWidget *parent, const char *name, const QString &accessible)
{
    QTableView *v = DialogParts::rowGrid(parent, QLatin1String(name));
    v->setAccessibleName(accessible);
    v->setAlternatingRowColors(true);
    return v;
}
}

TFrmPrincipalRemessas::TFrmPrincipalRemessas(Database &db, Messenger &messenger, const LoginState &login,
                                             QWidget *parent)
    : QDialog(parent),
      m_db(db),
      m_messenger(messenger),
      m_login(login)
{
    setObjectName(QStringLiteral("FrmPrincipalRemessas"));
    setWindowTitle(QStringLiteral("Controle de Remessas"));
    buildUi();
    execPreparation = [](TFrmNovaRemessa &w) { w.exec(); };
    connect(prepareButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { prepareRemittance(); }));
    connect(transferButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { transferRemittance(); }));
    connect(receiveButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { receiveResult(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { cancelRemittance(); }));
    connect(listingButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { printListing(); }));
    connect(clearButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { clearEventHistory(); }));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(remittanceGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            guarded(m_messenger, [this] { selectionChanged(); }));
}

void TFrmPrincipalRemessas::buildUi()
{
    auto *main = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    m_remModel = new QStandardItemModel(0, 3, this);
    m_remModel->setHorizontalHeaderLabels(
        {QStringLiteral("Remessa"), QStringLiteral("Status"), QStringLiteral("Tipo")});
    remittanceGrid = grid(this, "GrRemessa", QStringLiteral("Remessas"));
    remittanceGrid->setModel(m_remModel);
    left->addWidget(remittanceGrid, 2);
    m_eventsLabel = new QLabel(QStringLiteral("Eventos da Remessa"), this);
    QFont bold = m_eventsLabel->font();
    bold.setBold(true);
    m_eventsLabel->setFont(bold);
    left->addWidget(m_eventsLabel);
    m_evModel = new QStandardItemModel(0, 4, this);
    m_evModel->setHorizontalHeaderLabels({QStringLiteral("Data/Hora"), QStringLiteral("Evento"),
                                          QStringLiteral("Usuário Responsável"), QStringLiteral("Observações")});
    eventGrid = grid(this, "GrEventos", QStringLiteral("Eventos da Remessa"));
    eventGrid->setModel(m_evModel);
    m_eventsLabel->setBuddy(eventGrid);
    left->addWidget(eventGrid, 3);
    SpreadsheetExport::attach(remittanceGrid, m_messenger, QStringLiteral("remessas"));
    SpreadsheetExport::attach(eventGrid, m_messenger, QStringLiteral("eventos-da-remessa"));
    main->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setMinimumWidth(250);
        right->addWidget(b);
        return b;
    };
    prepareButton = button("BtPrepara", QStringLiteral("Prepara Nova Remessa..."));
    transferButton = button("BtTransfere", QStringLiteral("Transfere Arquivo para o Quelora..."));
    receiveButton = button("BtRecebe", QStringLiteral("Recebe Resultado do Quelora..."));
    cancelButton = button("BtCancela", QStringLiteral("Cancela Última Remessa"));
    right->addSpacing(16);
    listingButton = button("BtListagem", QStringLiteral("Listagem do Histórico"));
    clearButton = button("BtLimpa", QStringLiteral("Limpa Histórico"));
    right->addStretch();
    exitButton = button("BtSaida", QStringLiteral("&Saída"));
    exitButton->setToolTip(QStringLiteral("Encerrar edição"));
    main->addLayout(right);
    resize(980, 560);
}

void TFrmPrincipalRemessas::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guard(m_messenger, [this] { refresh(); });
}

void TFrmPrincipalRemessas::refresh()
{
    m_values = RemessaControl::workingValues(m_db);
    m_list = RemessaControl::rebuild(m_db);
    m_remModel->removeRows(0, m_remModel->rowCount());
    for (const auto &r : m_list)
        m_remModel->appendRow({new QStandardItem(r.number), new QStandardItem(r.status), new QStandardItem(r.type)});
    remittanceGrid->resizeColumnsToContents();
    if (!m_list.isEmpty())
        remittanceGrid->setCurrentIndex(m_remModel->index(0, 0));
    selectionChanged();
    remittanceGrid->setFocus();
}

const RemessaControl::Remittance *TFrmPrincipalRemessas::selected() const
{
    const int row = remittanceGrid->currentIndex().row();
    return row >= 0 && row < m_list.size() ? &m_list.at(row) : nullptr;
}

QString TFrmPrincipalRemessas::selectedNumber() const
{
    const auto *r = selected();
    return r ? r->number : QString();
}

void TFrmPrincipalRemessas::selectionChanged()
{
    const auto *r = selected();
    m_events = r ? RemessaControl::events(m_db, r->number) : QList<RemessaControl::Event>();
    m_evModel->removeRows(0, m_evModel->rowCount());
    for (const auto &e : m_events)
        m_evModel->appendRow({new QStandardItem(e.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))),
                              new QStandardItem(RemessaControl::eventDescription(e.event)), new QStandardItem(e.user),
                              new QStandardItem(e.remark)});
    eventGrid->resizeColumnsToContents();
    const RemessaControl::Offer o = RemessaControl::offered(r, m_events.isEmpty());
    prepareButton->setEnabled(o.prepare);
    transferButton->setEnabled(o.transfer);
    receiveButton->setEnabled(o.receive);
    cancelButton->setEnabled(o.cancel);
}

void TFrmPrincipalRemessas::prepareRemittance()
{
    RemessaPreparation::Settings s;
    s.transferDir = m_values.transferDir;
    s.acronym = m_values.acronym;
    s.currentNumber = m_list.isEmpty() ? QStringLiteral("0000000000") : selectedNumber();
    s.user = m_login.userName.isEmpty() ? m_login.userCode : m_login.userName;
    TFrmNovaRemessa w(m_db, m_messenger, s, this);
    execPreparation(w);
    refresh();
}

RemessaWork TFrmPrincipalRemessas::selectedWork() const
{
    return RemessaWork::from(m_values, m_login, *selected());
}

template <class Choice> void TFrmPrincipalRemessas::openChoiceForSelected()
{
    if (!selected())
        return;
    Choice window(selectedWork(), m_db, m_messenger, this);
    window.exec();
    refresh();
}

void TFrmPrincipalRemessas::transferRemittance()
{
    openChoiceForSelected<TFrmSelecaoTransferencia>();
}

void TFrmPrincipalRemessas::receiveResult()
{
    openChoiceForSelected<TFrmSelecaoResultado>();
}

void TFrmPrincipalRemessas::cancelRemittance()
{
    const auto *r = selected();
    if (!r || !m_messenger.confirm(QStringLiteral("Tem certeza que deseja cancelar a remessa?")))
        return;
    try {
        RemessaControl::cancel(m_db, *r, m_login.userName.isEmpty() ? m_login.userCode : m_login.userName,
                               m_values.transferDir, m_values.acronym);
    } catch (const RegisterStep::Refused &e) {
        m_messenger.error(e.message());
    }
    refresh();
}

void TFrmPrincipalRemessas::clearEventHistory()
{
    if (!m_messenger.confirm(QStringLiteral("Tem certeza que deseja limpar o histórico?")))
        return;
    try {
        RemessaControl::clearHistory(m_db, prepareButton->isEnabled() ? QString() : selectedNumber());
    } catch (const RegisterStep::Refused &e) {
        m_messenger.error(e.message());
    }
    refresh();
}

BandedReport TFrmPrincipalRemessas::listing() const
{
    BandedReport report(QStringLiteral("Controle de Remessas - Listagem de Histórico"));
    report.setUserName(m_login.userName.isEmpty() ? m_login.userCode : m_login.userName);
    report.addHeaderLine(m_values.acronym + QStringLiteral(" - ") + m_values.occName);
    QString group;
    for (const auto &e : m_events) {
        if (e.number != group) {
            if (!group.isEmpty())
                report.endColumns();
            group = e.number;
            report.addGroupHeader(QStringLiteral("Número da Remessa: ") + e.number);
            report.setColumns({{QStringLiteral("Evento"), 1.6},
                               {QStringLiteral("Observação"), 2.4},
                               {QStringLiteral("Usuário Responsável"), 1.6},
                               {QStringLiteral("Data e Hora"), 1.4}});
        }
        report.addRow({RemessaControl::eventDescription(e.event), e.remark, e.user,
                       e.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))});
    }
    if (!group.isEmpty())
        report.endColumns();
    return report;
}

void TFrmPrincipalRemessas::printListing()
{
    ReportPreview::exec(listing(), this, m_messenger);
}
