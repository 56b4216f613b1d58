#pragma once
#include "maintenance/selectionresults.h"

#include <optional>

class Database;
class Messenger;

// A product registered on the spot ("Inclusao de Produto"), as typed.
struct NewProduct
{
    QString marcaProd;
    QString modeloProd;
    QString codEanUpc;
    QString descrProd;
    bool imported = false;
};

namespace ProductInclusion {

// The typed texts fit what goes to the regulator; the refusal is shown
// through the messenger otherwise.
bool textsSendable(Messenger &messenger, const NewProduct &product);

// Brand, model and description are at most this long.
constexpr int MaxText = 254;

// Checks and writes the PRODUTO row in one transaction, showing the reason
// of a refusal through the messenger. The new product, or nothing when it
// was refused (nothing is written then).
std::optional<SelectedProduct> save(Database &db, Messenger &messenger, const NewProduct &product,
                                    const QString &userCode);

}
