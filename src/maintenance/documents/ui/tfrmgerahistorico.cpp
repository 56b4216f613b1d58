#include "maintenance/documents/ui/tfrmgerahistorico.h"

#include "base/messenger.h"
#include "maintenance/documents/ui/itemcaption.h"
#include "maintenance/maintenancedates.h"
#include "widgets/columnfit.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"
#include "widgets/spreadsheetexport.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

TFrmGeraHistorico::TFrmGeraHistorico(Database &db, Messenger &messenger, const QString &userCode,
                                     StatusEvents::Table table, const StatusEvents::ItemKey &key,
                                     const QDateTime &issue, QWidget *parent)
    : QDialog(parent),
      m_msg(messenger),
      m_history(db, messenger, userCode, table, key, issue)
{
    setObjectName(QStringLiteral("FrmGeraHistorico"));
    setWindowTitle(QStringLiteral("Histórico"));
    auto *layout = new QVBoxLayout(this);
    // The item's own key: a tab's row may carry more (a product's company).
    StatusEvents::ItemKey own;
    for (const QString &column : StatusEvents::keyColumns(table))
        for (auto it = key.constBegin(); it != key.constEnd(); ++it)
            if (it.key().compare(column, Qt::CaseInsensitive) == 0)
                own.insert(column, it.value());
    auto *item = new QLabel(ItemCaption::describe(own), this);
    item->setObjectName(QStringLiteral("LbItem"));
    item->setWordWrap(true);
    item->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont strong = item->font();
    strong.setBold(true);
    item->setFont(strong);
    layout->addWidget(item);

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("Justificativa"), QStringLiteral("Data Cad."), QStringLiteral("Usuário  Cad.")});
    GridStatus = new QTableView(this);
    GridStatus->setObjectName(QStringLiteral("GridStatus"));
    // No group around it: named after the window.
    GridStatus->setAccessibleName(QStringLiteral("Histórico"));
    SpreadsheetExport::attach(GridStatus, m_msg, QStringLiteral("eventos"));
    GridStatus->setModel(m_model);
    GridStatus->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridStatus->setSelectionMode(QAbstractItemView::SingleSelection);
    GridStatus->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridStatus->verticalHeader()->hide();
    GridStatus->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    GridStatus->setColumnWidth(1, 100);
    GridStatus->setColumnWidth(2, 110);
    layout->addWidget(GridStatus, 1);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EdtData = new MaskedDateEdit(this);
    EdtData->setObjectName(QStringLiteral("EdtData"));
    EdtJustificativa = new QLineEdit(this);
    EdtJustificativa->setObjectName(QStringLiteral("EdtJustificativa"));
    // Every event table declares Justificativa alike.
    ColumnFit::fit(EdtJustificativa, QStringLiteral("STATUS_C"), QStringLiteral("Justificativa"));
    form->addRow(DialogParts::label(this, QStringLiteral("LbData"), QStringLiteral("Data :"), EdtData), EdtData);
    form->addRow(DialogParts::label(this, QStringLiteral("LbJustificativa"), QStringLiteral("Justificativa :"),
                                    EdtJustificativa),
                 EdtJustificativa);
    layout->addLayout(form);

    BtIncluir = DialogParts::button(this, QStringLiteral("BtIncluir"), QStringLiteral("&Incluir"));
    BtExcluir = DialogParts::button(this, QStringLiteral("BtExcluir"), QStringLiteral("E&xcluir "));
    BtAplicar = DialogParts::button(this, QStringLiteral("BtAplicar"), QStringLiteral("Aplicar"));
    BtCancela = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("&Cancela"));
    BtSaida = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    auto *row = new QHBoxLayout;
    for (QPushButton *b : {BtIncluir, BtExcluir, BtAplicar, BtCancela})
        row->addWidget(b);
    row->addStretch();
    row->addWidget(BtSaida);
    layout->addLayout(row);

    connect(BtIncluir, &QPushButton::clicked, this, guarded(m_msg, [this] { BtIncluirClick(); }));
    connect(BtAplicar, &QPushButton::clicked, this, guarded(m_msg, [this] { BtAplicarClick(); }));
    connect(BtCancela, &QPushButton::clicked, this, guarded(m_msg, [this] { BtCancelaClick(); }));
    connect(BtExcluir, &QPushButton::clicked, this, guarded(m_msg, [this] { BtExcluirClick(); }));
    connect(BtSaida, &QPushButton::clicked, this, &QDialog::accept);
    connect(GridStatus->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guard(m_msg, [this] { rowChanged(); }); });

    resize(720, 440);
    FormShow();
}

void TFrmGeraHistorico::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrmGeraHistorico::FormShow()
{
    reopen(currentSeqEvento());
    setBrowse();
}

int TFrmGeraHistorico::currentSeqEvento() const
{
    const int row = GridStatus->currentIndex().row();
    return row >= 0 && row < m_entries.size() ? m_entries.at(row).seqEvento : 0;
}

void TFrmGeraHistorico::reopen(int seqEvento)
{
    m_entries = m_history.entries();
    m_model->removeRows(0, m_model->rowCount());
    int position = m_entries.isEmpty() ? -1 : 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        const HistoryRegistration::Entry &e = m_entries.at(i);
        QList<QStandardItem *> cells{new QStandardItem(e.justificativa),
                                     new QStandardItem(MaintenanceDates::boxText(e.data)),
                                     new QStandardItem(e.usuario)};
        m_model->appendRow(cells);
        if (e.seqEvento == seqEvento)
            position = i;
    }
    if (position >= 0)
        GridStatus->setCurrentIndex(m_model->index(position, 0));
    rowChanged();
}

void TFrmGeraHistorico::rowChanged()
{
    if (m_editing)
        return;
    const int row = GridStatus->currentIndex().row();
    if (row >= 0 && row < m_entries.size()) {
        EdtData->setMoment(m_entries.at(row).data);
        EdtJustificativa->setText(m_entries.at(row).justificativa);
    } else {
        EdtData->clearDate();
        EdtJustificativa->clear();
    }
}

void TFrmGeraHistorico::setBrowse()
{
    m_editing = false;
    EdtData->setEnabled(false);
    EdtJustificativa->setEnabled(false);
    GridStatus->setEnabled(true);
    BtIncluir->setEnabled(true);
    BtExcluir->setEnabled(!m_entries.isEmpty());
    BtSaida->setEnabled(true);
    BtAplicar->setEnabled(false);
    BtCancela->setEnabled(false);
}

void TFrmGeraHistorico::BtIncluirClick()
{
    m_editing = true;
    EdtData->setDate(QDate::currentDate());
    EdtJustificativa->clear();
    EdtData->setEnabled(true);
    EdtJustificativa->setEnabled(true);
    BtAplicar->setEnabled(true);
    BtCancela->setEnabled(true);
    GridStatus->setEnabled(false);
    BtIncluir->setEnabled(false);
    BtExcluir->setEnabled(false);
    BtSaida->setEnabled(false);
    EdtJustificativa->setFocus();
}

void TFrmGeraHistorico::BtAplicarClick()
{
    if (!m_editing)
        return;
    const QString problem = m_history.problem(EdtJustificativa->text(), EdtData->boxText(), QDate::currentDate());
    if (!problem.isEmpty()) {
        // The entry stays in the edits for correction.
        m_msg.error(problem);
        if (problem == HistoryTexts::JustificationRequired)
            EdtJustificativa->setFocus();
        else
            EdtData->setFocus();
        return;
    }
    const std::optional<int> seq = m_history.add(EdtJustificativa->text(), EdtData->boxText());
    m_editing = false;
    reopen(seq ? *seq : currentSeqEvento());
    setBrowse();
}

void TFrmGeraHistorico::BtCancelaClick()
{
    m_editing = false;
    EdtData->clearDate();
    EdtJustificativa->clear();
    reopen(currentSeqEvento());
    setBrowse();
}

void TFrmGeraHistorico::BtExcluirClick()
{
    const int seq = currentSeqEvento();
    if (seq == 0)
        return;
    if (m_history.received(seq)) {
        m_msg.error(HistoryTexts::Received);
        return;
    }
    if (!m_msg.confirm(HistoryTexts::ConfirmDelete))
        return;
    m_history.remove(seq);
    reopen(0);
    setBrowse();
}
