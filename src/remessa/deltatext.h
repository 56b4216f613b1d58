#pragma once
#include "base/apperror.h"
#include "db/database.h"

#include <QString>

namespace Schema {
struct Table;
}

// Text bound for the regulator must fit Windows-1252: a character outside it
// would arrive as "?" and, once folded back, make the row differ for ever.
namespace DeltaText {

// A row that cannot be sent; the preparation stops and writes nothing.
class Unsendable : public AppError
{
public:
    using AppError::AppError;
};

// Why the statement's current row (the table's fields in order, already
// read as cells, one per field) cannot be sent, naming the table, the row's
// key and the field; empty when it can.
QString rowProblem(const Schema::Table &table, const Database::Statement &row, const Database::Statement::Cell *cells);

}
