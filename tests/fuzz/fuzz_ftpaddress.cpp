// The configured FTP address split into host, port and folder.
#include "base/ftpaddress.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString address = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const FtpAddress a = FtpAddress::split(address);
    bool numeric = false;
    a.port.toInt(&numeric);
    if (!numeric || a.path.isEmpty())
        std::abort();
    return 0;
}
