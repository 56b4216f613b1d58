// The import file reader: lines, encodings, headers and every record
// descriptor cutting and checking values from whatever follows a header.
#include "fuzzsupport.h"
#include "import/datastruct.h"
#include "import/importfilereader.h"

#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = inputFile(data, size, QStringLiteral("TX-OCT2026120801.txt"));
    SilentMessenger messenger;
    ImportFileReader file(path, QStringLiteral("OCT"), QStringLiteral("fuzz"));
    file.setLogDir(scratch().path());
    file.setMessenger(&messenger);
    if (!file.open())
        return 0;
    try {
        // Every line is either a record's or a warning's, so the loop ends.
        for (int guard = 0; !file.atEnd() && guard <= file.totalLines() + 1; ++guard) {
            if (auto record = file.readNext()) {
                for (const TDataStructItem *item : record->items())
                    (void)record->FieldValue(item);
            }
        }
        (void)file.takeWarnings();
    } catch (const std::exception &) {
        // Errors raised as exceptions are the reader's way to refuse a file.
    }
    file.close();
    QFile::remove(scratch().filePath(TDataStruct::LogFileName));
    return 0;
}
