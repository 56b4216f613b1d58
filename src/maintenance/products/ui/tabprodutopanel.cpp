#include "maintenance/products/ui/tabprodutopanel.h"

#include "base/messenger.h"
#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "maintenance/tables/ui/tablepanelparts.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"
#include "widgets/spreadsheetexport.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using SelectionParts::button;
using SelectionParts::labelFor;

TabProdutoPanel::TabProdutoPanel(MaintenanceContext &context, QWidget *parent)
    : QWidget(parent),
      m_ctx(context)
{
    using Col = SelectionListModel::Column;
    using Fmt = SelectionListModel::Format;
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Tabela de Produtos"), this);
    group->setObjectName(QStringLiteral("GroupTabProduto"));
    outer->addWidget(group);
    auto *layout = new QVBoxLayout(group);

    DBGridProduto = new SelectionGrid(QStringLiteral("DBGridProduto"),
                                      {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
                                       Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
                                       Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), Fmt::YesNo},
                                       Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")}},
                                      group);
    DBGridProduto->setAccessibleName(group->title());
    SpreadsheetExport::attach(DBGridProduto, m_ctx.messenger, QStringLiteral("produtos"));
    DBGridProduto->setColumnWidth(0, 260);
    DBGridProduto->setColumnWidth(1, 260);
    DBGridProduto->setColumnWidth(2, 90);
    layout->addWidget(DBGridProduto, 1);

    btnIncluir = button(group, QStringLiteral("btnIncluirProduto"), QStringLiteral("&Incluir"));
    btnEditar = button(group, QStringLiteral("btnEditarProduto"), QStringLiteral("&Editar"));
    btnExcluir = button(group, QStringLiteral("btnExcluirProduto"), QStringLiteral("E&xcluir "));
    btnPesquisar = button(group, QStringLiteral("btnPesquisarProduto"), QStringLiteral("&Pesquisar"));
    btnSaida = button(group, QStringLiteral("btnSaidaProduto"), QStringLiteral("&Saída"));
    auto *browseRow = new QHBoxLayout;
    for (QPushButton *b : {btnIncluir, btnEditar, btnExcluir, btnPesquisar})
        browseRow->addWidget(b);
    browseRow->addStretch();
    browseRow->addWidget(btnSaida);
    layout->addLayout(browseRow);

    GroupDetalheProduto = new QGroupBox(QStringLiteral("Dados do Produto"), group);
    GroupDetalheProduto->setObjectName(QStringLiteral("GroupDetalheProduto"));
    layout->addWidget(GroupDetalheProduto);
    QWidget *d = GroupDetalheProduto;
    auto counter = [d](const char *name) {
        auto *l = new QLabel(d);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    QLabel *brandCount = counter("LbTamMarcaProd");
    QLabel *modelCount = counter("LbTamModeloProd");
    QLabel *descrCount = counter("LbTamDescrProd");
    EdMarcaProd = SelectionParts::countedField(d, QStringLiteral("EdMarcaProd"), QStringLiteral("MarcaProd"),
                                               brandCount, ProductInclusion::MaxText);
    EdModeloProd = SelectionParts::countedField(d, QStringLiteral("EdModeloProd"), QStringLiteral("ModeloProd"),
                                                modelCount, ProductInclusion::MaxText);
    EdCodEANUPC = SelectionParts::countedField(d, QStringLiteral("EdCodEANUPC"), QStringLiteral("CodEANUPC"), nullptr);
    EdDescrProd = SelectionParts::countedField(d, QStringLiteral("EdDescrProd"), QStringLiteral("DescrProd"),
                                               descrCount, ProductInclusion::MaxText);
    CkImportado = new QCheckBox(QStringLiteral("Produto Importado ?"), d);
    CkImportado->setObjectName(QStringLiteral("CkImportadoProd"));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("(254)")) + 6);
    LbMarca = labelFor(d, QStringLiteral("Marca:"), EdMarcaProd);
    LbModelo = labelFor(d, QStringLiteral("Modelo:"), EdModeloProd);
    grid->addWidget(LbMarca, 0, 0);
    grid->addWidget(EdMarcaProd, 0, 1);
    grid->addWidget(brandCount, 0, 2);
    grid->addWidget(LbModelo, 1, 0);
    grid->addWidget(EdModeloProd, 1, 1);
    grid->addWidget(modelCount, 1, 2);
    grid->addWidget(labelFor(d, QStringLiteral("Código EAN/UPC:"), EdCodEANUPC), 2, 0);
    grid->addWidget(EdCodEANUPC, 2, 1);
    grid->addWidget(labelFor(d, QStringLiteral("Descrição:"), EdDescrProd), 3, 0);
    grid->addWidget(EdDescrProd, 3, 1);
    grid->addWidget(descrCount, 3, 2);
    grid->addWidget(CkImportado, 4, 1);
    auto *detail = new QVBoxLayout(d);
    detail->addLayout(grid);
    btnOk = button(d, QStringLiteral("btnOkProduto"), QStringLiteral("Ok"));
    btnCancela = button(d, QStringLiteral("btnCancelaProduto"), QStringLiteral("Cancela"));
    auto *editRow = new QHBoxLayout;
    editRow->addStretch();
    editRow->addWidget(btnOk);
    editRow->addWidget(btnCancela);
    detail->addLayout(editRow);

    Messenger &msg = m_ctx.messenger;
    connect(btnIncluir, &QPushButton::clicked, this, guarded(msg, [this] { btnIncluirClick(); }));
    connect(btnEditar, &QPushButton::clicked, this, guarded(msg, [this] { btnEditarClick(); }));
    connect(btnExcluir, &QPushButton::clicked, this, guarded(msg, [this] { btnExcluirClick(); }));
    connect(btnOk, &QPushButton::clicked, this, guarded(msg, [this] { btnOkClick(); }));
    connect(btnCancela, &QPushButton::clicked, this, guarded(msg, [this] { btnCancelaClick(); }));
    connect(btnPesquisar, &QPushButton::clicked, this, guarded(msg, [this] { btnPesquisarClick(); }));
    connect(btnSaida, &QPushButton::clicked, this, guarded(msg, [this] { btnSaidaClick(); }));
    connect(DBGridProduto->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &msg] { guard(msg, [this] { showCurrent(); }); });

    m_chooser = [this]() -> std::optional<ProductKey> {
        const auto p = TFrmSelecionaProduto::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode, false);
        if (!p)
            return std::nullopt;
        return ProductKey{p->marcaProd, p->modeloProd, p->importado};
    };
    setBrowsing();
}

std::optional<ProductKey> TabProdutoPanel::currentKey() const
{
    const int row = DBGridProduto->currentRow();
    if (row < 0)
        return std::nullopt;
    const SelectionListModel *list = DBGridProduto->list();
    return ProductKey{list->value(row, QStringLiteral("MarcaProd")).toString(),
                      list->value(row, QStringLiteral("ModeloProd")).toString(),
                      list->value(row, QStringLiteral("Importado")).toInt()};
}

void TabProdutoPanel::entered()
{
    reopen(std::nullopt);
}

void TabProdutoPanel::reopen(const std::optional<ProductKey> &at)
{
    m_editing = false;
    DBGridProduto->open(m_ctx.db, ProductTable::listStatement());
    TablePanelParts::showRow(DBGridProduto, at ? ProductTable::rowOf(m_ctx.db, *at) : -1);
    showCurrent();
}

void TabProdutoPanel::showCurrent()
{
    if (m_editing)
        return;
    const auto key = currentKey();
    const auto product = key ? ProductTable::load(m_ctx.db, *key) : std::nullopt;
    fill(product.value_or(NewProduct()));
    setBrowsing();
}

void TabProdutoPanel::fill(const NewProduct &p)
{
    EdMarcaProd->setText(p.marcaProd);
    EdModeloProd->setText(p.modeloProd);
    EdCodEANUPC->setText(p.codEanUpc);
    EdDescrProd->setText(p.descrProd);
    CkImportado->setChecked(p.imported);
}

void TabProdutoPanel::setBrowsing()
{
    m_editing = false;
    m_edited.reset();
    const bool rows = DBGridProduto->currentRow() >= 0;
    DBGridProduto->setEnabled(true);
    btnIncluir->setEnabled(true);
    btnSaida->setEnabled(true);
    btnEditar->setEnabled(rows);
    btnExcluir->setEnabled(rows);
    btnPesquisar->setEnabled(rows);
    GroupDetalheProduto->setEnabled(false);
    TablePanelParts::markLocked(LbMarca, false);
    TablePanelParts::markLocked(LbModelo, false);
}

void TabProdutoPanel::setEditState(bool keyLocked)
{
    m_editing = true;
    DBGridProduto->setEnabled(false);
    for (QPushButton *b : {btnIncluir, btnEditar, btnExcluir, btnPesquisar, btnSaida})
        b->setEnabled(false);
    GroupDetalheProduto->setEnabled(true);
    for (QWidget *w : {static_cast<QWidget *>(EdMarcaProd), static_cast<QWidget *>(EdModeloProd),
                       static_cast<QWidget *>(CkImportado)})
        w->setEnabled(!keyLocked);
    TablePanelParts::markLocked(LbMarca, keyLocked);
    TablePanelParts::markLocked(LbModelo, keyLocked);
}

void TabProdutoPanel::btnIncluirClick()
{
    fill(NewProduct());
    setEditState(false);
    m_edited.reset();
    EdMarcaProd->setFocus();
}

void TabProdutoPanel::btnEditarClick()
{
    const auto key = currentKey();
    if (!key)
        return;
    const auto product = ProductTable::load(m_ctx.db, *key);
    if (!product)
        return;
    fill(*product);
    const bool locked = ProductTable::isUsed(m_ctx.db, *key);
    setEditState(locked);
    m_edited = key;
    (locked ? EdCodEANUPC : EdMarcaProd)->setFocus();
}

void TabProdutoPanel::btnOkClick()
{
    NewProduct p;
    p.marcaProd = EdMarcaProd->text();
    p.modeloProd = EdModeloProd->text();
    p.codEanUpc = EdCodEANUPC->text();
    p.descrProd = EdDescrProd->text();
    p.imported = CkImportado->isChecked();
    const auto saved = ProductTable::save(m_ctx.db, m_ctx.messenger, p, m_edited, m_ctx.userCode);
    if (!saved)
        return;
    reopen(saved);
}

void TabProdutoPanel::btnCancelaClick()
{
    m_editing = false;
    showCurrent();
}

void TabProdutoPanel::btnExcluirClick()
{
    const auto key = currentKey();
    if (!key)
        return;
    const int row = DBGridProduto->currentRow();
    if (!ProductTable::remove(m_ctx.db, m_ctx.messenger, *key))
        return;
    DBGridProduto->open(m_ctx.db, ProductTable::listStatement());
    TablePanelParts::showRow(DBGridProduto, qMin(row, DBGridProduto->list()->found() - 1));
    showCurrent();
}

void TabProdutoPanel::btnPesquisarClick()
{
    const std::optional<ProductKey> chosen = m_chooser ? m_chooser() : std::nullopt;
    if (!chosen)
        return;
    TablePanelParts::showRow(DBGridProduto, ProductTable::rowOf(m_ctx.db, *chosen));
    showCurrent();
}

void TabProdutoPanel::btnSaidaClick()
{
    DBGridProduto->close();
    fill(NewProduct());
    setBrowsing();
    emit leave();
}
