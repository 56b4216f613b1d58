#pragma once
#include "db/tableops.h"

#include <QString>
#include <functional>

// Reads an exchanged (Paradox) table in chunks of rows named by its fields.
namespace DeltaReader {

// Calls chunkDone with up to chunkRows rows at a time, in file order.
// Raises AppError when the file cannot be read (missing, damaged, truncated).
void forEachChunk(const QString &path, int chunkRows,
                  const std::function<void(const TableOps::RowSet &chunk)> &chunkDone);

}
