#pragma once
#include "maintenance/products/productinclusion.h"

#include <QDialog>
#include <optional>

class Database;
class Messenger;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Inclusao de Produto": registers a product in PRODUTO.
class TFrmInclProduto : public QDialog
{
    Q_OBJECT
public:
    // Shows the dialog modally; the product registered, or nothing when the
    // user cancelled. `userCode` goes into UsuResp.
    static std::optional<SelectedProduct> include(QWidget *parent, Database &db, Messenger &messenger,
                                                  const QString &userCode);

    TFrmInclProduto(Database &db, Messenger &messenger, const QString &userCode, QWidget *parent = nullptr);

    std::optional<SelectedProduct> included() const { return m_included; }

    void includeTyped();

private:
    QLineEdit *field(const QString &name, const QString &column, QLabel *counter, int rule = 0);

    Database &m_db;
    Messenger &m_msg;
    QString m_user;
    std::optional<SelectedProduct> m_included;

    QLineEdit *brandField = nullptr;
    QLineEdit *modelField = nullptr;
    QLineEdit *eanUpcField = nullptr;
    QLineEdit *descriptionField = nullptr;
    QCheckBox *importedBox = nullptr;
};
