#pragma once
#include "maintenance/products/producttable.h"
#include "maintenance/ui/maintenancecontext.h"

#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SelectionGrid;

// Panel "TabProduto": the product table, browsed in a grid, with a detail
// group that is edited on inclusion and edit.
class TabProdutoPanel : public QWidget
{
    Q_OBJECT
public:
    using ProductChooser = std::function<std::optional<ProductKey>()>;

    explicit TabProdutoPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    void setProductChooser(ProductChooser chooser) { m_chooser = std::move(chooser); }
    bool isEditing() const { return m_editing; }
    std::optional<ProductKey> currentKey() const;

    // The panel was entered: the table is opened on its first row.
    void entered();

    // Handlers, named after their controls.
    void btnIncluirClick();
    void btnEditarClick();
    void btnExcluirClick();
    void btnOkClick();
    void btnCancelaClick();
    void btnPesquisarClick();
    void btnSaidaClick();

signals:
    void leave();

private:
    void reopen(const std::optional<ProductKey> &at);
    void showCurrent();
    void fill(const NewProduct &product);
    void setBrowsing();
    void setEditState(bool keyLocked);

    MaintenanceContext &m_ctx;
    ProductChooser m_chooser;
    bool m_editing = false;
    std::optional<ProductKey> m_edited;

    SelectionGrid *DBGridProduto = nullptr;
    QGroupBox *GroupDetalheProduto = nullptr;
    QLabel *LbMarca = nullptr;
    QLabel *LbModelo = nullptr;
    QLineEdit *EdMarcaProd = nullptr;
    QLineEdit *EdModeloProd = nullptr;
    QLineEdit *EdCodEANUPC = nullptr;
    QLineEdit *EdDescrProd = nullptr;
    QCheckBox *CkImportado = nullptr;
    QPushButton *btnIncluir = nullptr;
    QPushButton *btnEditar = nullptr;
    QPushButton *btnExcluir = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancela = nullptr;
    QPushButton *btnPesquisar = nullptr;
    QPushButton *btnSaida = nullptr;
};
