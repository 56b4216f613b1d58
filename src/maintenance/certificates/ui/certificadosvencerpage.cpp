#include "maintenance/certificates/ui/certificadosvencerpage.h"

#include "base/clock.h"
#include "base/messenger.h"
#include "reports/certificateselection.h"
#include "shell/loginstate.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/spreadsheetexport.h"
#include "widgets/windowopener.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int MaxDays = 36500;
}

CertificadosVencerPage::CertificadosVencerPage(Database &db, Messenger &messenger, const LoginState &login,
                                               WindowOpener &opener, QWidget *parent)
    : QWidget(parent),
      m_db(db),
      m_messenger(messenger),
      m_login(login),
      m_opener(opener)
{
    setObjectName(QStringLiteral("CertificadosVencer"));
    auto *group = new QGroupBox(ExpiringCertificates::title(), this);
    group->setObjectName(QStringLiteral("GbCertificadosVencer"));

    daysList = new QComboBox(group);
    daysList->setObjectName(QStringLiteral("cbDias"));
    daysList->setEditable(true);
    daysList->setInsertPolicy(QComboBox::NoInsert);
    for (int d : ExpiringCertificates::Choices)
        daysList->addItem(QString::number(d));
    daysList->lineEdit()->setValidator(new QIntValidator(0, MaxDays, daysList));
    daysList->setMaximumWidth(90);
    auto *horizon = new QHBoxLayout;
    horizon->addWidget(DialogParts::label(group, QStringLiteral("LbDias"), QStringLiteral("Vencem em até"), daysList));
    horizon->addWidget(daysList);
    horizon->addWidget(new QLabel(QStringLiteral("dias"), group));
    horizon->addStretch(1);
    totalLabel = new QLabel(group);
    totalLabel->setObjectName(QStringLiteral("LbTotal"));
    horizon->addWidget(totalLabel);

    m_model = new QStandardItemModel(0, 5, this);
    m_model->setHorizontalHeaderLabels(ExpiringCertificates::table({}).headers);
    expiringGrid = new QTableView(group);
    expiringGrid->setObjectName(QStringLiteral("grdVencer"));
    expiringGrid->setAccessibleName(ExpiringCertificates::title());
    expiringGrid->setModel(m_model);
    expiringGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    expiringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    expiringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    expiringGrid->setAlternatingRowColors(true);
    expiringGrid->verticalHeader()->hide();
    expiringGrid->verticalHeader()->setDefaultSectionSize(expiringGrid->fontMetrics().height() + 8);
    expiringGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    expiringGrid->setColumnWidth(0, 170);
    expiringGrid->setColumnWidth(1, 170);
    expiringGrid->setColumnWidth(3, 90);
    expiringGrid->setColumnWidth(4, 100);
    SpreadsheetExport::attach(expiringGrid, m_messenger, QStringLiteral("certificados-a-vencer"));

    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(horizon);
    groupLayout->addWidget(expiringGrid, 1);

    reportButton = DialogParts::button(this, QStringLiteral("btnRelatorio"), QStringLiteral("Relatório..."));
    QPushButton *exportButton = SpreadsheetExport::button(this, expiringGrid, m_messenger,
                                                          QStringLiteral("certificados-a-vencer"));
    exitButton = DialogParts::button(this, QStringLiteral("btnSai"), QStringLiteral("&Saida"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reportButton);
    buttons->addWidget(exportButton);
    buttons->addWidget(exitButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    daysList->setCurrentText(QString::number(ExpiringCertificates::DefaultDays));
    connect(daysList, &QComboBox::currentTextChanged, this, guarded(m_messenger, [this] { refresh(); }));
    connect(expiringGrid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() < m_rows.size())
            emit openCertificate(m_rows.at(index.row()).sigla, m_rows.at(index.row()).numero);
    });
    connect(reportButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { showReport(); }));
    connect(exitButton, &QPushButton::clicked, this, guarded(m_messenger, [this] { leavePage(); }));
}

int CertificadosVencerPage::days() const
{
    bool ok = false;
    const int d = daysList->currentText().trimmed().toInt(&ok);
    return ok && d >= 0 && d <= MaxDays ? d : -1;
}

void CertificadosVencerPage::setDays(int days)
{
    daysList->setCurrentText(QString::number(days));
}

void CertificadosVencerPage::enter()
{
    refresh();
    expiringGrid->setFocus();
}

void CertificadosVencerPage::refresh()
{
    m_model->removeRows(0, m_model->rowCount());
    m_rows.clear();
    const int d = days();
    reportButton->setEnabled(false);
    if (d < 0) {
        totalLabel->clear();
        return;
    }
    m_rows = ExpiringCertificates::list(m_db, Clock::today(), d);
    for (const ExpiringCertificates::Row &r : std::as_const(m_rows)) {
        QList<QStandardItem *> items;
        for (const QString &text : {r.numero, r.classe, r.empresa, r.validade.toString(QStringLiteral("dd/MM/yyyy")),
                                    QString::number(r.diasRestantes)})
            items << new QStandardItem(text);
        items[3]->setTextAlignment(Qt::AlignCenter);
        items[4]->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow(items);
    }
    totalLabel->setText(QStringLiteral("Total: ") + CertificateSelection::countText(m_rows.size()));
    reportButton->setEnabled(!m_rows.isEmpty());
}

void CertificadosVencerPage::showReport()
{
    const int d = days();
    if (d < 0 || m_rows.isEmpty())
        return;
    m_opener.preview(ExpiringCertificates::report(m_rows, Clock::today(), d, m_login.userName), this, m_messenger);
}

void CertificadosVencerPage::leavePage()
{
    m_model->removeRows(0, m_model->rowCount());
    m_rows.clear();
    emit leave();
}
