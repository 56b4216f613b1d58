#include "maintenance/products/ui/tfrmselecionaproduto.h"

#include "base/messenger.h"
#include "maintenance/products/ui/tfrminclproduto.h"
#include "maintenance/selectionlistmodel.h"
#include "maintenance/ui/selectionparts.h"
#include "widgets/dialogparts.h"
#include "widgets/guardedslot.h"
#include "widgets/selectiongrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

SelectionDialog::Layout productChoiceLayout()
{
    using Format = SelectionListModel::Format;
    SelectionDialog::Layout l(QStringLiteral("FrmSelecionaProduto"), QStringLiteral("Seleciona Produto"),
                              QSize(760, 540));
    l.grid = {QStringLiteral("GrdProdutos"),
              {{QStringLiteral("Marca"), QStringLiteral("MarcaProd")},
               {QStringLiteral("Modelo"), QStringLiteral("ModeloProd")},
               {QStringLiteral("Importado?"), QStringLiteral("Importado"), Format::YesNo},
               {QStringLiteral("EAN/UPC"), QStringLiteral("CodEANUPC")}},
              QStringLiteral("Produtos"),
              QStringLiteral("produtos"),
              240,
              {200, 240, 90}};
    l.countCaption = QStringLiteral("Produtos encontrados:");
    l.includeNew = SelectionDialog::Button{QStringLiteral("BtNovo"), QStringLiteral("Novo...")};
    return l;
}

}

TFrmSelecionaProduto::TFrmSelecionaProduto(Database &db, Messenger &messenger, const QString &userCode, bool offerNew,
                                           QWidget *parent)
    : SelectionDialog(db, messenger, productChoiceLayout(), parent),
      m_user(userCode)
{
    m_brandField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdMarca"));
    m_modelField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdModelo"));
    m_eanUpcField = DialogParts::lineEdit(filterBox(), QStringLiteral("EdEANUPC"), 128);
    m_originList = new QComboBox(filterBox());
    m_originList->setObjectName(QStringLiteral("CbImportado"));
    m_originList->addItems({QString(), QStringLiteral("Sim"), QStringLiteral("Não")});
    finishForm({{QStringLiteral("Marca:"), m_brandField},
                {QStringLiteral("Modelo:"), m_modelField},
                {QStringLiteral("EAN/UPC:"), m_eanUpcField},
                {QStringLiteral("Importado:"), m_originList}},
               {m_brandField, m_modelField, m_eanUpcField});

    includeButton()->setVisible(offerNew);
    guard(m_msg, [this] { run(ProductSelection::statement(m_filter)); });
}

void TFrmSelecionaProduto::applyFilter()
{
    ProductSelection::Filter f;
    f.brand = m_brandField->text().trimmed();
    f.model = m_modelField->text().trimmed();
    f.eanUpc = m_eanUpcField->text().trimmed();
    const int origin = m_originList->currentIndex();
    using Origin = ProductSelection::Origin;
    f.origin = origin == 1 ? Origin::Imported : origin == 2 ? Origin::National : Origin::Any;
    m_filter = f;
    run(ProductSelection::statement(m_filter));
    SelectionParts::clearFields({m_brandField, m_modelField, m_eanUpcField, m_originList});
}

void TFrmSelecionaProduto::orderBy(int column)
{
    using Order = ProductSelection::Order;
    static const Order orders[] = {Order::Brand, Order::Model, Order::Imported, Order::EanUpc};
    if (column >= 0 && column < int(std::size(orders)))
        run(ProductSelection::statement(m_filter, orders[column]));
}

void TFrmSelecionaProduto::chooseCurrent()
{
    const int row = grid()->currentRow();
    if (row < 0)
        return;
    const SelectedProduct p = ProductSelection::rowOf(*grid()->list(), row);
    if (p.marcaProd.isEmpty())
        return;
    m_chosen = p;
    accept();
}

void TFrmSelecionaProduto::includeNew()
{
    const std::optional<SelectedProduct> product = TFrmInclProduto::include(this, m_db, m_msg, m_user);
    takeIncluded(product ? std::optional(ProductSelection::only(*product)) : std::nullopt, NenhumNovo,
                 ProductSelection::statement(m_filter));
}

std::optional<SelectedProduct> TFrmSelecionaProduto::choose(QWidget *parent, Database &db, Messenger &messenger,
                                                            const QString &userCode, bool offerNew)
{
    TFrmSelecionaProduto dlg(db, messenger, userCode, offerNew, parent);
    return chosenBy(dlg);
}
