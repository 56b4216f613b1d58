#pragma once
#include "maintenance/products/producttable.h"
#include "maintenance/tables/ui/keyedtablepanel.h"

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

// Panel "TabProduto": the product table, browsed in a grid, with a detail
// group that is edited on inclusion and edit.
class TabProdutoPanel : public KeyedTablePanel<ProductKey>
{
    Q_OBJECT
public:
    explicit TabProdutoPanel(MaintenanceContext &context, QWidget *parent = nullptr);

    void setProductChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    std::optional<ProductKey> currentKey() const override;

protected:
    SelectionSql::Statement listStatement() const override;
    void showRecord() override;
    void clearFields() override;
    QWidget *startInclusion() override;
    QWidget *startEdit() override;
    std::optional<int> store() override;
    void browsingFields() override;
    void editingFields() override;

private:
    void fill(const NewProduct &product);

    bool m_keyLocked = false; // certificates list the product being edited

    QLabel *m_brandLabel = nullptr;
    QLabel *m_modelLabel = nullptr;
    QLineEdit *m_brandField = nullptr;
    QLineEdit *m_modelField = nullptr;
    QLineEdit *m_eanUpcField = nullptr;
    QLineEdit *m_descriptionField = nullptr;
    QCheckBox *m_importedBox = nullptr;
};
