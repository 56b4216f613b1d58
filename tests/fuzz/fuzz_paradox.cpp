// The Paradox table reader over any bytes: a damaged table must be refused
// with an error, never read out of bounds.
#include "db/paradoxtable.h"
#include "fuzzsupport.h"

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = inputFile(data, size, QStringLiteral("TABELA.DB"));
    try {
        auto reader = ParadoxReader::open(path);
        if (!reader)
            return 0;
        (void)reader->fieldNames();
        for (int rows = 0; rows < 100000 && reader->next(); ++rows)
            (void)reader->row();
    } catch (const std::exception &) {
        // A refusal (AppError) is the expected answer to a damaged table.
    }
    return 0;
}
