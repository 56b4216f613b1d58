#include "remessa/deltareader.h"

#include "db/paradoxtable.h"

namespace DeltaReader {

void forEachChunk(const QString &path, int chunkRows,
                  const std::function<void(const TableOps::RowSet &chunk)> &chunkDone)
{
    const std::unique_ptr<ParadoxReader> reader = ParadoxReader::open(path);
    TableOps::RowSet chunk;
    chunk.columns = reader->fieldNames();
    chunk.rows.reserve(chunkRows);
    while (reader->next()) {
        chunk.rows.append(reader->values());
        if (chunk.rows.size() >= chunkRows) {
            chunkDone(chunk);
            chunk.rows.clear();
        }
    }
    if (!chunk.rows.isEmpty())
        chunkDone(chunk);
}

}
