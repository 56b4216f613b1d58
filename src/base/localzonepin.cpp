#include "base/localzonepin.h"

#include <QFileInfo>
#include <QString>
#include <QtGlobal>
#include <ctime>

namespace LocalZonePin {

bool pin()
{
    if (qEnvironmentVariableIsSet("TZ") || !QFileInfo::exists(QLatin1String(SystemZoneFile)))
        return false;
    qputenv("TZ", QByteArray(":") + SystemZoneFile);
    tzset();
    return true;
}

}
