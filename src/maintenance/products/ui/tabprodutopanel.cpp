#include "maintenance/products/ui/tabprodutopanel.h"

#include "maintenance/products/ui/tfrmselecionaproduto.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/selectiongrid.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using SelectionParts::labelFor;

namespace {

TablePanel::Layout panelLayout()
{
    using Col = SelectionListModel::Column;
    using Fmt = SelectionListModel::Format;
    return {QStringLiteral("Tabela de Produtos"),
            QStringLiteral("Produto"),
            {Col{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
             Col{QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
             Col{QStringLiteral("Importado?"), QStringLiteral("Importado"), Fmt::YesNo},
             Col{QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")}},
            QStringLiteral("produtos"),
            {260, 260, 90},
            QStringLiteral("Dados do Produto")};
}

}

TabProdutoPanel::TabProdutoPanel(MaintenanceContext &context, QWidget *parent)
    : KeyedTablePanel(context, panelLayout(), {&ProductTable::rowOf, &ProductTable::remove}, parent)
{
    QWidget *d = detailBox();
    auto counter = [d](const char *name) {
        auto *l = new QLabel(d);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    QLabel *brandCount = counter("LbTamMarcaProd");
    QLabel *modelCount = counter("LbTamModeloProd");
    QLabel *descrCount = counter("LbTamDescrProd");
    m_brandField = SelectionParts::countedField(d, QStringLiteral("EdMarcaProd"), QStringLiteral("MarcaProd"),
                                                brandCount, ProductInclusion::MaxText);
    m_modelField = SelectionParts::countedField(d, QStringLiteral("EdModeloProd"), QStringLiteral("ModeloProd"),
                                                modelCount, ProductInclusion::MaxText);
    m_eanUpcField = SelectionParts::countedField(d, QStringLiteral("EdCodEANUPC"), QStringLiteral("CodEANUPC"),
                                                 nullptr);
    m_descriptionField = SelectionParts::countedField(d, QStringLiteral("EdDescrProd"), QStringLiteral("DescrProd"),
                                                      descrCount, ProductInclusion::MaxText);
    m_importedBox = new QCheckBox(QStringLiteral("Produto Importado ?"), d);
    m_importedBox->setObjectName(QStringLiteral("CkImportadoProd"));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("(254)")) + 6);
    m_brandLabel = labelFor(d, QStringLiteral("Marca:"), m_brandField);
    m_modelLabel = labelFor(d, QStringLiteral("Modelo:"), m_modelField);
    grid->addWidget(m_brandLabel, 0, 0);
    grid->addWidget(m_brandField, 0, 1);
    grid->addWidget(brandCount, 0, 2);
    grid->addWidget(m_modelLabel, 1, 0);
    grid->addWidget(m_modelField, 1, 1);
    grid->addWidget(modelCount, 1, 2);
    grid->addWidget(labelFor(d, QStringLiteral("Código EAN/UPC:"), m_eanUpcField), 2, 0);
    grid->addWidget(m_eanUpcField, 2, 1);
    grid->addWidget(labelFor(d, QStringLiteral("Descrição:"), m_descriptionField), 3, 0);
    grid->addWidget(m_descriptionField, 3, 1);
    grid->addWidget(descrCount, 3, 2);
    grid->addWidget(m_importedBox, 4, 1);
    finish(grid);

    m_chooser = [this]() -> std::optional<ProductKey> {
        const auto p = TFrmSelecionaProduto::choose(this, m_ctx.db, m_ctx.messenger, m_ctx.userCode, false);
        if (!p)
            return std::nullopt;
        return ProductKey{p->marcaProd, p->modeloProd, p->importado};
    };
    setBrowsing();
}

SelectionSql::Statement TabProdutoPanel::listStatement() const
{
    return ProductTable::listStatement();
}

std::optional<ProductKey> TabProdutoPanel::currentKey() const
{
    const int row = grid()->currentRow();
    if (row < 0)
        return std::nullopt;
    const SelectionListModel *list = grid()->list();
    return ProductKey{list->value(row, QStringLiteral("MarcaProd")).toString(),
                      list->value(row, QStringLiteral("ModeloProd")).toString(),
                      list->value(row, QStringLiteral("Importado")).toInt()};
}

void TabProdutoPanel::showRecord()
{
    const auto key = currentKey();
    const auto product = key ? ProductTable::load(m_ctx.db, *key) : std::nullopt;
    fill(product.value_or(NewProduct()));
}

void TabProdutoPanel::clearFields()
{
    fill(NewProduct());
}

void TabProdutoPanel::fill(const NewProduct &p)
{
    m_brandField->setText(p.marcaProd);
    m_modelField->setText(p.modeloProd);
    m_eanUpcField->setText(p.codEanUpc);
    m_descriptionField->setText(p.descrProd);
    m_importedBox->setChecked(p.imported);
}

void TabProdutoPanel::browsingFields()
{
    m_edited.reset();
    TablePanelParts::markLocked(m_brandLabel, false);
    TablePanelParts::markLocked(m_modelLabel, false);
}

void TabProdutoPanel::editingFields()
{
    for (QWidget *w : {static_cast<QWidget *>(m_brandField), static_cast<QWidget *>(m_modelField),
                       static_cast<QWidget *>(m_importedBox)})
        w->setEnabled(!m_keyLocked);
    TablePanelParts::markLocked(m_brandLabel, m_keyLocked);
    TablePanelParts::markLocked(m_modelLabel, m_keyLocked);
}

QWidget *TabProdutoPanel::startInclusion()
{
    fill(NewProduct());
    m_keyLocked = false;
    m_edited.reset();
    return m_brandField;
}

QWidget *TabProdutoPanel::startEdit()
{
    const auto key = currentKey();
    if (!key)
        return nullptr;
    const auto product = ProductTable::load(m_ctx.db, *key);
    if (!product)
        return nullptr;
    fill(*product);
    m_keyLocked = ProductTable::isUsed(m_ctx.db, *key);
    m_edited = key;
    return m_keyLocked ? m_eanUpcField : m_brandField;
}

std::optional<int> TabProdutoPanel::store()
{
    NewProduct p;
    p.marcaProd = m_brandField->text();
    p.modeloProd = m_modelField->text();
    p.codEanUpc = m_eanUpcField->text();
    p.descrProd = m_descriptionField->text();
    p.imported = m_importedBox->isChecked();
    const auto saved = ProductTable::save(m_ctx.db, m_ctx.messenger, p, m_edited, m_ctx.userCode);
    if (!saved)
        return std::nullopt;
    return rowOf(*saved);
}
