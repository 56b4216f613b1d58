// A server's name listing and the reference-package names picked from it.
#include "net/ftpclient.h"
#include "refupdate/refversion.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList names = FtpClient::parseListing(raw);
    for (const QString &name : names) {
        if (name.isEmpty() || name.contains(QLatin1Char('\n')))
            std::abort();
        if (RefVersion::isPackageName(name)) {
            const QString version = RefVersion::versionOf(name);
            if (RefVersion::fileNameFor(version).compare(name, Qt::CaseInsensitive) != 0)
                std::abort();
        }
    }
    const QString current = RefVersion::noVersionFile();
    const QString newest = RefVersion::newest(names, current);
    if (newest != current && !(names.contains(newest) && RefVersion::isPackageName(newest)))
        std::abort();
    return 0;
}
