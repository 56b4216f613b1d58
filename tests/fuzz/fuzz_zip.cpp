// Zip extraction over any bytes: nothing may be written outside the target
// folder and a damaged archive is refused.
#include "base/archive.h"
#include "fuzzsupport.h"

#include <QDirIterator>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = inputFile(data, size, QStringLiteral("pacote.zip"));
    const QString dest = scratch().filePath(QStringLiteral("destino"));
    QDir(dest).removeRecursively();
    SilentMessenger messenger;
    Archive::unzip(path, dest, messenger);
    // Only the archive and the destination may exist in the scratch folder.
    const QStringList top = QDir(scratch().path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : top)
        if (name != QLatin1String("pacote.zip") && name != QLatin1String("destino"))
            std::abort();
    QDir(dest).removeRecursively();
    return 0;
}
