#include "maintenance/tables/ui/signatariospanel.h"

#include "base/messenger.h"
#include "maintenance/selectionsql.h"
#include "maintenance/tables/ui/tablepanelparts.h"
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

    DBGridSignatarios = new SelectionGrid(QStringLiteral("DBGridSignatarios"),
                                          {Col{QStringLiteral("Signatário"), QStringLiteral("Signatario")},
                                           Col{QStringLiteral("Default"), QStringLiteral("Default_s")}},
                                          group);
    DBGridSignatarios->setAccessibleName(QStringLiteral("Signatários"));
    DBGridSignatarios->setColumnWidth(0, 560);
    layout->addWidget(DBGridSignatarios, 1);

    btnIncluir = button(group, QStringLiteral("btnIncluirSignatario"), QStringLiteral("&Incluir"));
    btnEditar = button(group, QStringLiteral("btnEditarSignatario"), QStringLiteral("&Editar"));
    btnExcluir = button(group, QStringLiteral("btnExcluirSignatario"), QStringLiteral("E&xcluir "));
    btnSaida = button(group, QStringLiteral("btnSaidaSignatario"), QStringLiteral("&Saída"));
    auto *browseRow = new QHBoxLayout;
    for (QPushButton *b : {btnIncluir, btnEditar, btnExcluir})
        browseRow->addWidget(b);
    browseRow->addStretch();
    browseRow->addWidget(btnSaida);
    layout->addLayout(browseRow);

    GroupEdicao = new QGroupBox(QStringLiteral("Signatário"), group);
    GroupEdicao->setObjectName(QStringLiteral("GroupEdicaoSignatario"));
    layout->addWidget(GroupEdicao);
    edtSignatario = new QLineEdit(GroupEdicao);
    edtSignatario->setObjectName(QStringLiteral("edtSignatario"));
    ColumnFit::fit(edtSignatario, QStringLiteral("SIGNATARIOS"), QStringLiteral("Signatario"));
    auto *defaultBox = new QGroupBox(QStringLiteral(" Defaut "), GroupEdicao);
    defaultBox->setObjectName(QStringLiteral("RgDefault"));
    RbDefaultSim = new QRadioButton(QStringLiteral("Sim"), defaultBox);
    RbDefaultSim->setObjectName(QStringLiteral("RbDefaultSim"));
    RbDefaultNao = new QRadioButton(QStringLiteral("Não"), defaultBox);
    RbDefaultNao->setObjectName(QStringLiteral("RbDefaultNao"));
    auto *choiceRow = new QHBoxLayout(defaultBox);
    choiceRow->addWidget(RbDefaultSim);
    choiceRow->addWidget(RbDefaultNao);
    btnAplicar = button(GroupEdicao, QStringLiteral("btnAplicar"), QStringLiteral("Aplicar"));
    btnCancelar = button(GroupEdicao, QStringLiteral("btnCancelar"), QStringLiteral("Cancelar"));
    auto *form = new QFormLayout;
    form->addRow(SelectionParts::labelFor(GroupEdicao, QStringLiteral("Nome:"), edtSignatario), edtSignatario);
    auto *editRow = new QHBoxLayout(GroupEdicao);
    editRow->addLayout(form, 1);
    editRow->addWidget(defaultBox);
    editRow->addWidget(btnAplicar);
    editRow->addWidget(btnCancelar);

    Messenger &msg = m_ctx.messenger;
    connect(btnIncluir, &QPushButton::clicked, this, guarded(msg, [this] { btnIncluirClick(); }));
    connect(btnEditar, &QPushButton::clicked, this, guarded(msg, [this] { btnEditarClick(); }));
    connect(btnExcluir, &QPushButton::clicked, this, guarded(msg, [this] { btnExcluirClick(); }));
    connect(btnAplicar, &QPushButton::clicked, this, guarded(msg, [this] { btnAplicarClick(); }));
    connect(btnCancelar, &QPushButton::clicked, this, guarded(msg, [this] { btnCancelarClick(); }));
    connect(btnSaida, &QPushButton::clicked, this, guarded(msg, [this] { btnSaidaClick(); }));
    setEditing(false);
}

void SignatariosPanel::entered()
{
    btnCancelarClick();
    requery(0);
}

void SignatariosPanel::requery(int id)
{
    DBGridSignatarios->open(m_ctx.db, listStatement());
    int row = -1;
    if (id > 0)
        for (int r = 0; r < DBGridSignatarios->list()->rowCount(); ++r)
            if (DBGridSignatarios->list()->value(r, QStringLiteral("ID_Signatario")).toInt() == id)
                row = r;
    TablePanelParts::showRow(DBGridSignatarios, row);
    setEditing(isEditing());
}

void SignatariosPanel::setEditing(bool editing)
{
    const bool rows = DBGridSignatarios->currentRow() >= 0;
    btnIncluir->setEnabled(!editing);
    btnEditar->setEnabled(!editing && rows);
    btnExcluir->setEnabled(!editing && rows);
    btnSaida->setEnabled(!editing);
    DBGridSignatarios->setEnabled(!editing);
    GroupEdicao->setEnabled(editing);
}

void SignatariosPanel::startEditing(Signatories::Action action)
{
    m_action = action;
    setEditing(true);
    edtSignatario->setReadOnly(action == Signatories::Action::Remove);
    edtSignatario->setFocus();
}

void SignatariosPanel::btnIncluirClick()
{
    if (Signatories::certifierCode(m_ctx.db).isEmpty()) {
        m_ctx.messenger.error(Signatories::SemCertificador, QStringLiteral("Erro de Edição"));
        return;
    }
    m_id = 0;
    edtSignatario->clear();
    RbDefaultNao->setChecked(true);
    startEditing(Signatories::Action::Include);
}

void SignatariosPanel::btnEditarClick()
{
    const int row = DBGridSignatarios->currentRow();
    if (row < 0)
        return;
    const SelectionListModel *list = DBGridSignatarios->list();
    m_id = list->value(row, QStringLiteral("ID_Signatario")).toInt();
    edtSignatario->setText(list->value(row, QStringLiteral("Signatario")).toString());
    const bool isDefault = list->value(row, QStringLiteral("Default_s")).toString() == QLatin1String("S");
    RbDefaultSim->setChecked(isDefault);
    RbDefaultNao->setChecked(!isDefault);
    startEditing(Signatories::Action::Edit);
}

void SignatariosPanel::btnExcluirClick()
{
    btnEditarClick();
    if (m_action)
        startEditing(Signatories::Action::Remove);
}

void SignatariosPanel::btnAplicarClick()
{
    if (!m_action)
        return;
    Signatories::Signatory s{m_id, edtSignatario->text(), RbDefaultSim->isChecked()};
    if (!Signatories::apply(m_ctx.db, m_ctx.messenger, *m_action, s))
        return;
    const int keep = *m_action == Signatories::Action::Remove ? 0 : m_id;
    btnCancelarClick();
    requery(keep);
}

void SignatariosPanel::btnCancelarClick()
{
    edtSignatario->clear();
    edtSignatario->setReadOnly(false);
    // Neither choice marked, as when nothing is being edited.
    for (QRadioButton *b : {RbDefaultSim, RbDefaultNao}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
    m_action.reset();
    m_id = 0;
    setEditing(false);
}

void SignatariosPanel::btnSaidaClick()
{
    btnCancelarClick();
    DBGridSignatarios->close();
    emit leave();
}
