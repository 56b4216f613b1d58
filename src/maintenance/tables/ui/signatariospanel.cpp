#include "maintenance/tables/ui/signatariospanel.h"

#include "base/messenger.h"
#include "maintenance/selectionsql.h"
#include "maintenance/tables/ui/tablepanel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/columnfit.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using SelectionParts::button;

namespace {

SelectionSql::Statement listStatement()
{
    return {QStringLiteral("Select ID_Signatario, Signatario, Default_s from Signatarios"),
            QStringLiteral("order by default_s DESC, signatario ASC"),
            {}};
}

}

SignatariosPanel::SignatariosPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    using Col = SelectionListModel::Column;
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral(" Signatários "), this);
    group->setObjectName(QStringLiteral("GroupSignatarios"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);

    signatoryGrid = new SelectionGrid(QStringLiteral("DBGridSignatarios"),
                                      {Col{QStringLiteral("Signatário"), QStringLiteral("Signatario")},
                                       Col{QStringLiteral("Default"), QStringLiteral("Default_s")}},
                                      group);
    signatoryGrid->setAccessibleName(QStringLiteral("Signatários"));
    signatoryGrid->setColumnWidth(0, 560);
    layout->addWidget(signatoryGrid, 1);

    includeButton = button(group, QStringLiteral("btnIncluirSignatario"), QStringLiteral("&Incluir"));
    editButton = button(group, QStringLiteral("btnEditarSignatario"), QStringLiteral("&Editar"));
    deleteButton = button(group, QStringLiteral("btnExcluirSignatario"), QStringLiteral("E&xcluir "));
    exitButton = button(group, QStringLiteral("btnSaidaSignatario"), QStringLiteral("&Saída"));
    layout->addLayout(SelectionParts::spreadRow({includeButton, editButton, deleteButton}, {exitButton}));

    editBox = new QGroupBox(QStringLiteral("Signatário"), group);
    editBox->setObjectName(QStringLiteral("GroupEdicaoSignatario"));
    layout->addWidget(editBox);
    nameField = new QLineEdit(editBox);
    nameField->setObjectName(QStringLiteral("edtSignatario"));
    ColumnFit::fit(nameField, QStringLiteral("SIGNATARIOS"), QStringLiteral("Signatario"));
    auto *defaultBox = new QGroupBox(QStringLiteral(" Defaut "), editBox);
    defaultBox->setObjectName(QStringLiteral("RgDefault"));
    defaultYes = new QRadioButton(QStringLiteral("Sim"), defaultBox);
    defaultYes->setObjectName(QStringLiteral("RbDefaultSim"));
    defaultNo = new QRadioButton(QStringLiteral("Não"), defaultBox);
    defaultNo->setObjectName(QStringLiteral("RbDefaultNao"));
    auto *choiceRow = new QHBoxLayout(defaultBox);
    choiceRow->addWidget(defaultYes);
    choiceRow->addWidget(defaultNo);
    applyButton = button(editBox, QStringLiteral("btnAplicar"), QStringLiteral("Aplicar"));
    cancelButton = button(editBox, QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    auto *form = new QFormLayout;
    form->addRow(SelectionParts::labelFor(editBox, QStringLiteral("Nome:"), nameField), nameField);
    auto *editRow = new QHBoxLayout(editBox);
    editRow->addLayout(form, 1);
    editRow->addWidget(defaultBox);
    editRow->addWidget(applyButton);
    editRow->addWidget(cancelButton);

    Messenger &msg = m_ctx.messenger;
    connect(includeButton, &QPushButton::clicked, this, guarded(msg, [this] { includeNew(); }));
    connect(editButton, &QPushButton::clicked, this, guarded(msg, [this] { editCurrent(); }));
    connect(deleteButton, &QPushButton::clicked, this, guarded(msg, [this] { deleteCurrent(); }));
    connect(applyButton, &QPushButton::clicked, this, guarded(msg, [this] { applyEdit(); }));
    connect(cancelButton, &QPushButton::clicked, this, guarded(msg, [this] { cancelEdit(); }));
    connect(exitButton, &QPushButton::clicked, this, guarded(msg, [this] { leavePanel(); }));
    setEditing(false);
}

void SignatariosPanel::entered()
{
    cancelEdit();
    requery(0);
}

void SignatariosPanel::requery(int id)
{
    signatoryGrid->open(m_ctx.db, listStatement());
    int row = -1;
    if (id > 0)
        for (int r = 0; r < signatoryGrid->list()->rowCount(); ++r)
            if (signatoryGrid->list()->value(r, QStringLiteral("ID_Signatario")).toInt() == id)
                row = r;
    TablePanelParts::showRow(signatoryGrid, row);
    setEditing(isEditing());
}

void SignatariosPanel::setEditing(bool editing)
{
    const bool rows = signatoryGrid->currentRow() >= 0;
    includeButton->setEnabled(!editing);
    editButton->setEnabled(!editing && rows);
    deleteButton->setEnabled(!editing && rows);
    exitButton->setEnabled(!editing);
    signatoryGrid->setEnabled(!editing);
    editBox->setEnabled(editing);
}

void SignatariosPanel::startEditing(Signatories::Action action)
{
    m_action = action;
    setEditing(true);
    nameField->setReadOnly(action == Signatories::Action::Remove);
    nameField->setFocus();
}

void SignatariosPanel::includeNew()
{
    if (Signatories::certifierCode(m_ctx.db).isEmpty()) {
        m_ctx.messenger.error(Signatories::SemCertificador, QStringLiteral("Erro de Edição"));
        return;
    }
    m_id = 0;
    nameField->clear();
    defaultNo->setChecked(true);
    startEditing(Signatories::Action::Include);
}

void SignatariosPanel::editCurrent()
{
    const int row = signatoryGrid->currentRow();
    if (row < 0)
        return;
    const SelectionListModel *list = signatoryGrid->list();
    m_id = list->value(row, QStringLiteral("ID_Signatario")).toInt();
    nameField->setText(list->value(row, QStringLiteral("Signatario")).toString());
    const bool isDefault = list->value(row, QStringLiteral("Default_s")).toString() == QLatin1String("S");
    defaultYes->setChecked(isDefault);
    defaultNo->setChecked(!isDefault);
    startEditing(Signatories::Action::Edit);
}

void SignatariosPanel::deleteCurrent()
{
    editCurrent();
    if (m_action)
        startEditing(Signatories::Action::Remove);
}

void SignatariosPanel::applyEdit()
{
    if (!m_action)
        return;
    Signatories::Signatory s{m_id, nameField->text(), defaultYes->isChecked()};
    if (!Signatories::apply(m_ctx.db, m_ctx.messenger, *m_action, s))
        return;
    const int keep = *m_action == Signatories::Action::Remove ? 0 : m_id;
    cancelEdit();
    requery(keep);
}

void SignatariosPanel::cancelEdit()
{
    nameField->clear();
    nameField->setReadOnly(false);
    // Neither choice marked, as when nothing is being edited.
    for (QRadioButton *b : {defaultYes, defaultNo}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    m_action.reset();
    m_id = 0;
    setEditing(false);
}

void SignatariosPanel::leavePanel()
{
    cancelEdit();
    signatoryGrid->close();
    emit leave();
}
