#include "maintenance/products/ui/itemtab.h"

#include "base/messenger.h"
#include "maintenance/maintenancedates.h"
#include "maintenance/products/itemstore.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/maskeddateedit.h"
#include "widgets/selectiongrid.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

ItemTab::ItemTab(MaintenanceContext &context, ItemKind kind, const Names &names,
                 const QList<SelectionListModel::Column> &columns, QWidget *parent)
    : CertificateTab(parent),
      m_ctx(context),
      m_kind(kind),
      m_names(names)
{
    setObjectName(names.tab);
    auto *layout = new QVBoxLayout(this);
    m_grid = new SelectionGrid(names.grid, columns, this);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->setMinimumHeight(110);
    m_grid->horizontalHeader()->setDefaultSectionSize(columns.size() > 2 ? 150 : 380);
    layout->addWidget(m_grid, 1);

    m_incluir = DialogParts::button(this, names.incluir, QStringLiteral("&Incluir"));
    m_editar = DialogParts::button(this, names.editar, QStringLiteral("&Editar"));
    m_excluir = DialogParts::button(this, names.excluir, QStringLiteral("E&xcluir "));
    layout->addLayout(SelectionParts::spreadRow({m_incluir, m_editar, m_excluir}));

    m_detailRow = new QHBoxLayout;
    m_detail = new QGroupBox(names.detailTitle, this);
    m_detail->setObjectName(QStringLiteral("Group") + names.tab);
    m_form = new QFormLayout(m_detail);
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_detailRow->addWidget(m_detail, 1);
    layout->addLayout(m_detailRow);
    m_entryDate = new MaskedDateEdit(m_detail);
    m_entryDate->setObjectName(names.entryDate);
    m_entryDateLabel = DialogParts::label(m_detail, QStringLiteral("Lb") + names.entryDate,
                                          QStringLiteral("Dt. Entrada no Certificado"), m_entryDate);

    m_seleciona = DialogParts::button(this, names.seleciona, names.selecionaText);
    m_aplicar = DialogParts::button(this, names.aplicar, QStringLiteral("Aplicar"));
    m_cancelar = DialogParts::button(this, names.cancelar, QStringLiteral("Cancelar"));
    m_cancelar->setProperty(MaskedDateEdit::SkipsDateCheck, true);
    layout->addLayout(SelectionParts::spreadRow({m_seleciona}, {m_aplicar, m_cancelar}));

    m_status = new StatusGroup(names.statusTitle, names.status, this);
    m_status->setObjectName(QStringLiteral("GroupStatus") + names.tab);
    layout->addWidget(m_status);

    Messenger &msg = m_ctx.messenger;
    connect(m_incluir, &QPushButton::clicked, this, guarded(msg, [this] { includeNew(); }));
    connect(m_editar, &QPushButton::clicked, this, guarded(msg, [this] { editCurrent(); }));
    connect(m_excluir, &QPushButton::clicked, this, guarded(msg, [this] { deleteCurrent(); }));
    connect(m_seleciona, &QPushButton::clicked, this, guarded(msg, [this] { chooseProduct(); }));
    connect(m_aplicar, &QPushButton::clicked, this, guarded(msg, [this] { applyEdit(); }));
    connect(m_cancelar, &QPushButton::clicked, this, guarded(msg, [this] { cancelEdit(); }));
    connect(m_status, &StatusGroup::changeRequested, this,
            [this, &msg](const QString &letter) { guard(msg, [&] { changeItemStatus(letter); }); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [&] { rowChanged(); }); });
    setEditing(false);
}

void ItemTab::addRow(const QString &text, QWidget *widget)
{
    QLabel *label = widget == m_entryDate
        ? m_entryDateLabel
        : DialogParts::label(m_detail, QStringLiteral("Lb") + widget->objectName(), text, widget);
    m_form->addRow(label, widget);
    chainFocus(widget->focusProxy() ? widget->focusProxy() : widget);
}

void ItemTab::chainFocus(QWidget *widget)
{
    QWidget::setTabOrder(m_lastField ? m_lastField : m_excluir, widget);
    QWidget::setTabOrder(widget, m_seleciona);
    QWidget::setTabOrder(m_seleciona, m_aplicar);
    QWidget::setTabOrder(m_aplicar, m_cancelar);
    m_lastField = widget;
}

QLineEdit *ItemTab::shownBox(const QString &name)
{
    auto *box = new QLineEdit(m_detail);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    // Filled by a selection, never typed: drawn as such in edit state too.
    QPalette shown = box->palette();
    shown.setColor(QPalette::Base, shown.color(QPalette::Window));
    box->setPalette(shown);
    return box;
}

ItemService::Certificate ItemTab::certificate() const
{
    return {m_open.key, m_open.issueDate, m_open.held};
}

ItemService ItemTab::service() const
{
    return ItemService(m_ctx.db, m_ctx.messenger, m_ctx.userCode, m_kind);
}

void ItemTab::openCertificate(const OpenCertificate &certificate)
{
    m_grid->setAccessibleName(title());
    m_open = certificate;
    m_isOpen = true;
    m_old.reset();
    setEditing(false);
    reload(std::nullopt);
}

void ItemTab::closeCertificate()
{
    m_isOpen = false;
    m_open = OpenCertificate();
    m_old.reset();
    m_current.reset();
    m_grid->close();
    setEditing(false);
    showCurrent();
}

void ItemTab::entered()
{
    if (m_isOpen && !m_editing)
        reload(m_current);
}

QString ItemTab::leaveRefusal() const
{
    return m_editing ? m_names.leaveRefusal : QString();
}

std::optional<TabItem> ItemTab::currentItem() const
{
    if (!m_current)
        return std::nullopt;
    const ItemKindInfo &info = CertificateItems::info(m_kind);
    TabItem item{info.events, CertificateItems::itemKey(m_kind, *m_current).toRow()};
    item.row.insert(info.statusColumn, m_current->status);
    item.row.insert(StatusEvents::statusColumn(info.events), m_current->status);
    return item;
}

CertificateItem ItemTab::keyOfRow(int row) const
{
    const SelectionListModel *list = m_grid->list();
    CertificateItem key;
    key.siglaCertificador = m_open.key.sigla;
    key.numCertif = m_open.key.numero;
    key.marcaProd = list->value(row, QStringLiteral("MarcaProd")).toString();
    key.modeloProd = list->value(row, QStringLiteral("ModeloProd")).toString();
    key.importado = list->value(row, QStringLiteral("Importado")).toInt();
    key.numLote = list->value(row, QStringLiteral("NumLote")).toString();
    key.numSerieProd = list->value(row, QStringLiteral("NumSerieProd")).toString();
    key.idClasseServ = list->value(row, QStringLiteral("IdClasseServ")).toInt();
    key.codigoPais = list->value(row, QStringLiteral("CodigoPais")).toString();
    key.idEmpresa = list->value(row, QStringLiteral("IdEmpresa")).toString();
    return key;
}

void ItemTab::reload(const std::optional<CertificateItem> &positionOn)
{
    m_current.reset();
    if (m_isOpen) {
        m_grid->open(m_ctx.db, ItemStore::grid(m_kind, m_open.key));
        if (positionOn)
            locate(*positionOn);
    }
    rowChanged();
}

bool ItemTab::locate(const CertificateItem &key)
{
    SelectionListModel *list = m_grid->list();
    for (int row = 0;; ++row) {
        if (row >= list->rowCount()) {
            if (!list->canFetchMore())
                return false;
            list->fetchMore();
            if (row >= list->rowCount())
                return false;
        }
        if (!CertificateItems::keyDiffers(m_kind, keyOfRow(row), key, true)) {
            m_grid->setCurrentIndex(list->index(row, 0));
            return true;
        }
    }
}

void ItemTab::rowChanged()
{
    if (m_editing)
        return;
    const int row = m_isOpen ? m_grid->currentRow() : -1;
    m_current = row >= 0 ? ItemStore::load(m_ctx.db, m_kind, keyOfRow(row)) : std::nullopt;
    showCurrent();
    setEditing(false);
}

void ItemTab::showCurrent()
{
    const CertificateItem shown = m_current.value_or(CertificateItem());
    showItem(shown);
    m_entryDate->setMoment(shown.entryDate);
    m_status->setStatus(m_current.has_value(), shown.status);
}

void ItemTab::setEditing(bool editing)
{
    m_editing = editing;
    const bool rows = m_isOpen && m_grid->list()->found() > 0;
    m_incluir->setEnabled(m_isOpen && !editing);
    m_editar->setEnabled(!editing && rows && m_current);
    m_excluir->setEnabled(!editing && rows && m_current);
    m_grid->setEnabled(!editing);
    m_status->setEnabled(!editing);
    m_detail->setEnabled(editing);
    m_seleciona->setEnabled(editing);
    m_aplicar->setEnabled(editing);
    m_cancelar->setEnabled(editing);
    editingChanged(editing);
    emit stateChanged();
}

void ItemTab::includeNew()
{
    if (!m_isOpen || m_editing)
        return;
    m_old.reset();
    m_draft = CertificateItem();
    m_draft.siglaCertificador = m_open.key.sigla;
    m_draft.numCertif = m_open.key.numero;
    m_draft.status = QStringLiteral("A");
    showItem(m_draft);
    m_entryDate->setMoment(m_open.issueDate);
    m_status->setStatus(false, QString());
    setEditing(true);
    editStarted(true);
    // What the item is comes first.
    chooseProduct();
}

void ItemTab::editCurrent()
{
    if (!m_current || m_editing)
        return;
    m_old = m_current;
    m_draft = *m_current;
    showItem(m_draft);
    m_entryDate->setMoment(m_draft.entryDate);
    setEditing(true);
    editStarted(false);
}

void ItemTab::chooseProduct()
{
    if (!m_editing)
        return;
    readItem(m_draft);
    CertificateItem chosen = m_draft;
    if (select(chosen)) {
        m_draft = chosen;
        showItem(m_draft);
    }
}

void ItemTab::applyEdit()
{
    if (!m_editing)
        return;
    CertificateItem edited = m_draft;
    readItem(edited);
    ItemService items = service();
    const ItemService::Certificate cert = certificate();
    if (!items.check(cert, m_old, edited, m_entryDate->boxText()))
        return;
    std::optional<QString> justification;
    if (cert.approvedBefore) {
        const auto answer = m_ctx.askJustification(false, m_open.issueDate);
        if (!answer) {
            // Without a reason nothing of the change is kept.
            cancelEdit();
            return;
        }
        justification = answer->text;
    }
    if (items.apply(cert, m_old, edited, justification) != ItemService::Result::Saved) {
        // Nothing was written: the values stay for the user to mend.
        m_draft = edited;
        return;
    }
    m_old.reset();
    m_editing = false;
    editEnded();
    reload(edited);
    emit certificateChanged();
}

void ItemTab::cancelEdit()
{
    m_old.reset();
    m_editing = false;
    editEnded();
    rowChanged();
}

void ItemTab::deleteCurrent()
{
    if (!m_current || m_editing)
        return;
    ItemService items = service();
    const ItemService::Certificate cert = certificate();
    if (!items.removalAllowed(*m_current))
        return;
    if (!m_ctx.messenger.confirm(items.removalQuestion()))
        return;
    if (items.remove(cert, *m_current) == ItemService::Result::Saved) {
        reload(std::nullopt);
        emit certificateChanged();
    }
}

void ItemTab::changeItemStatus(const QString &letter)
{
    if (!m_current || m_editing)
        return;
    const auto answer = m_ctx.askJustification(true, m_open.issueDate);
    if (answer)
        service().changeStatus(certificate(), *m_current, letter, answer->text, MaintenanceDates::parse(answer->date));
    m_current = ItemStore::load(m_ctx.db, m_kind, *m_current);
    showCurrent();
    setEditing(false);
}
