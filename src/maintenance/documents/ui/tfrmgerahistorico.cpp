#include "maintenance/documents/ui/tfrmgerahistorico.h"

#include "base/messenger.h"
#include "maintenance/documents/ui/itemcaption.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/ui/selectionparts.h"
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
    const StatusEvents::ItemKey own = key.restrictedTo(StatusEvents::keyColumns(table));
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
    statusGrid = new QTableView(this);
    statusGrid->setObjectName(QStringLiteral("GridStatus"));
    // No group around it: named after the window.
    statusGrid->setAccessibleName(QStringLiteral("Histórico"));
    SpreadsheetExport::attach(statusGrid, m_msg, QStringLiteral("eventos"));
    statusGrid->setModel(m_model);
    statusGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    statusGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    statusGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    statusGrid->verticalHeader()->hide();
    statusGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    statusGrid->setColumnWidth(1, 100);
    statusGrid->setColumnWidth(2, 110);
    layout->addWidget(statusGrid, 1);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dateField = new MaskedDateEdit(this);
    dateField->setObjectName(QStringLiteral("EdtData"));
    reasonField = new QLineEdit(this);
    reasonField->setObjectName(QStringLiteral("EdtJustificativa"));
    // Every event table declares Justificativa alike.
    ColumnFit::fit(reasonField, QStringLiteral("STATUS_C"), QStringLiteral("Justificativa"));
    form->addRow(DialogParts::label(this, QStringLiteral("LbData"), QStringLiteral("Data :"), dateField), dateField);
    form->addRow(
        DialogParts::label(this, QStringLiteral("LbJustificativa"), QStringLiteral("Justificativa :"), reasonField),
        reasonField);
    layout->addLayout(form);

    includeButton = DialogParts::button(this, QStringLiteral("BtIncluir"), QStringLiteral("&Incluir"));
    deleteButton = DialogParts::button(this, QStringLiteral("BtExcluir"), QStringLiteral("E&xcluir "));
    applyButton = DialogParts::button(this, QStringLiteral("BtAplicar"), QStringLiteral("Aplicar"));
    cancelButton = DialogParts::button(this, QStringLiteral("BtCancela"), QStringLiteral("&Cancela"));
    exitButton = DialogParts::button(this, QStringLiteral("BtSaida"), QStringLiteral("&Saída"));
    layout->addLayout(
        SelectionParts::spreadRow({includeButton, deleteButton, applyButton, cancelButton}, {exitButton}));

    connect(includeButton, &QPushButton::clicked, this, guarded(m_msg, [this] { includeNew(); }));
    connect(applyButton, &QPushButton::clicked, this, guarded(m_msg, [this] { applyEdit(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(m_msg, [this] { cancelEdit(); }));
    connect(deleteButton, &QPushButton::clicked, this, guarded(m_msg, [this] { deleteCurrent(); }));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(statusGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guard(m_msg, [this] { rowChanged(); }); });

    resize(720, 440);
    reloadKeepingRow();
}

void TFrmGeraHistorico::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        reloadKeepingRow();
    }
}

void TFrmGeraHistorico::reloadKeepingRow()
{
    reopen(currentSeqEvento());
    setBrowse();
}

int TFrmGeraHistorico::currentSeqEvento() const
{
    const int row = statusGrid->currentIndex().row();
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
        statusGrid->setCurrentIndex(m_model->index(position, 0));
    rowChanged();
}

void TFrmGeraHistorico::rowChanged()
{
    if (m_editing)
        return;
    const int row = statusGrid->currentIndex().row();
    if (row >= 0 && row < m_entries.size()) {
        dateField->setMoment(m_entries.at(row).data);
        reasonField->setText(m_entries.at(row).justificativa);
    } else {
        dateField->clearDate();
        reasonField->clear();
    }
}

void TFrmGeraHistorico::setBrowse()
{
    m_editing = false;
    dateField->setEnabled(false);
    reasonField->setEnabled(false);
    statusGrid->setEnabled(true);
    includeButton->setEnabled(true);
    deleteButton->setEnabled(!m_entries.isEmpty());
    exitButton->setEnabled(true);
    applyButton->setEnabled(false);
    cancelButton->setEnabled(false);
}

void TFrmGeraHistorico::includeNew()
{
    m_editing = true;
    dateField->setDate(QDate::currentDate());
    reasonField->clear();
    dateField->setEnabled(true);
    reasonField->setEnabled(true);
    applyButton->setEnabled(true);
    cancelButton->setEnabled(true);
    statusGrid->setEnabled(false);
    includeButton->setEnabled(false);
    deleteButton->setEnabled(false);
    exitButton->setEnabled(false);
    reasonField->setFocus();
}

void TFrmGeraHistorico::applyEdit()
{
    if (!m_editing)
        return;
    const QString problem = m_history.problem(reasonField->text(), dateField->boxText(), QDate::currentDate());
    if (!problem.isEmpty()) {
        // The entry stays in the edits for correction.
        m_msg.error(problem);
        if (problem == HistoryTexts::JustificationRequired)
            reasonField->setFocus();
        else
            dateField->setFocus();
        return;
    }
    const std::optional<int> seq = m_history.add(reasonField->text(), dateField->boxText());
    m_editing = false;
    reopen(seq ? *seq : currentSeqEvento());
    setBrowse();
}

void TFrmGeraHistorico::cancelEdit()
{
    m_editing = false;
    dateField->clearDate();
    reasonField->clear();
    reopen(currentSeqEvento());
    setBrowse();
}

void TFrmGeraHistorico::deleteCurrent()
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
