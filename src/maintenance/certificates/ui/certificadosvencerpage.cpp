#include "maintenance/certificates/ui/certificadosvencerpage.h"

#include "base/clock.h"
#include "base/messenger.h"
#include "reports/certificateselection.h"
#include "reports/ui/reportpreview.h"
#include "shell/loginstate.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/spreadsheetexport.h"

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
                                               QWidget *parent)
    : QWidget(parent),
      m_db(db),
      m_messenger(messenger),
      m_login(login)
{
    setObjectName(QStringLiteral("CertificadosVencer"));
    auto *group = new QGroupBox(ExpiringCertificates::title(), this);
    group->setObjectName(QStringLiteral("GbCertificadosVencer"));

    cbDias = new QComboBox(group);
    cbDias->setObjectName(QStringLiteral("cbDias"));
    cbDias->setEditable(true);
    cbDias->setInsertPolicy(QComboBox::NoInsert);
    for (int d : ExpiringCertificates::Choices)
        cbDias->addItem(QString::number(d));
    cbDias->lineEdit()->setValidator(new QIntValidator(0, MaxDays, cbDias));
    cbDias->setMaximumWidth(90);
    auto *horizon = new QHBoxLayout;
    horizon->addWidget(DialogParts::label(group, QStringLiteral("LbDias"), QStringLiteral("Vencem em até"), cbDias));
    horizon->addWidget(cbDias);
    horizon->addWidget(new QLabel(QStringLiteral("dias"), group));
    horizon->addStretch(1);
    LbTotal = new QLabel(group);
    LbTotal->setObjectName(QStringLiteral("LbTotal"));
    horizon->addWidget(LbTotal);

    m_model = new QStandardItemModel(0, 5, this);
    m_model->setHorizontalHeaderLabels(ExpiringCertificates::table({}).headers);
    grdVencer = new QTableView(group);
    grdVencer->setObjectName(QStringLiteral("grdVencer"));
    grdVencer->setAccessibleName(ExpiringCertificates::title());
    grdVencer->setModel(m_model);
    grdVencer->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdVencer->setSelectionMode(QAbstractItemView::SingleSelection);
    grdVencer->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdVencer->setAlternatingRowColors(true);
    grdVencer->verticalHeader()->hide();
    grdVencer->verticalHeader()->setDefaultSectionSize(grdVencer->fontMetrics().height() + 8);
    grdVencer->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grdVencer->setColumnWidth(0, 170);
    grdVencer->setColumnWidth(1, 170);
    grdVencer->setColumnWidth(3, 90);
    grdVencer->setColumnWidth(4, 100);
    SpreadsheetExport::attach(grdVencer, m_messenger, QStringLiteral("certificados-a-vencer"));

    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(horizon);
    groupLayout->addWidget(grdVencer, 1);

    btnRelatorio = DialogParts::button(this, QStringLiteral("btnRelatorio"), QStringLiteral("Relatório..."));
    QPushButton *exportButton = SpreadsheetExport::button(this, grdVencer, m_messenger,
                                                          QStringLiteral("certificados-a-vencer"));
    btnSai = DialogParts::button(this, QStringLiteral("btnSai"), QStringLiteral("&Saida"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnRelatorio);
    buttons->addWidget(exportButton);
    buttons->addWidget(btnSai);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    cbDias->setCurrentText(QString::number(ExpiringCertificates::DefaultDays));
    connect(cbDias, &QComboBox::currentTextChanged, this, guarded(m_messenger, [this] { refresh(); }));
    connect(grdVencer, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() < m_rows.size())
            emit openCertificate(m_rows.at(index.row()).sigla, m_rows.at(index.row()).numero);
    });
    connect(btnRelatorio, &QPushButton::clicked, this, guarded(m_messenger, [this] { btnRelatorioClick(); }));
    connect(btnSai, &QPushButton::clicked, this, guarded(m_messenger, [this] { btnSaiClick(); }));
}

int CertificadosVencerPage::days() const
{
    bool ok = false;
    const int d = cbDias->currentText().trimmed().toInt(&ok);
    return ok && d >= 0 && d <= MaxDays ? d : -1;
}

void CertificadosVencerPage::setDays(int days)
{
    cbDias->setCurrentText(QString::number(days));
}

void CertificadosVencerPage::enter()
{
    refresh();
    grdVencer->setFocus();
}

void CertificadosVencerPage::refresh()
{
    m_model->removeRows(0, m_model->rowCount());
    m_rows.clear();
    const int d = days();
    btnRelatorio->setEnabled(false);
    if (d < 0) {
        LbTotal->clear();
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
    LbTotal->setText(QStringLiteral("Total: ") + CertificateSelection::countText(m_rows.size()));
    btnRelatorio->setEnabled(!m_rows.isEmpty());
}

void CertificadosVencerPage::btnRelatorioClick()
{
    const int d = days();
    if (d < 0 || m_rows.isEmpty())
        return;
    ReportPreview::exec(ExpiringCertificates::report(m_rows, Clock::today(), d, m_login.userName), this, m_messenger);
}

void CertificadosVencerPage::btnSaiClick()
{
    m_model->removeRows(0, m_model->rowCount());
    m_rows.clear();
    emit leave();
}
