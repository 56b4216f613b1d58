#pragma once
// Runs part of a test as a workstation of another time zone would: the zone
// is set for the process and the one before comes back at the end.
#include <QByteArray>
#include <QtGlobal>
#include <ctime>

class LocalZone
{
public:
    // Brazil's summer time began at 00:00 on 15/10/2017: that midnight never
    // happened there.
    static constexpr const char *SaoPaulo = "America/Sao_Paulo";

    explicit LocalZone(const char *zone)
        : m_had(qEnvironmentVariableIsSet("TZ")),
          m_before(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_before);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone &) = delete;
    LocalZone &operator=(const LocalZone &) = delete;

private:
    bool m_had;
    QByteArray m_before;
};
