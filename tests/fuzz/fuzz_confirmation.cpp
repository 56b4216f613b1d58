// The confirmation code typed for a manual result.
#include "base/codecs.h"
#include "remessa/manualresult.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QString &typed : {QString::fromUtf8(raw), QString::fromLatin1(raw)}) {
        if (const auto code = ManualResult::decode(typed)) {
            if (code->verdict != QLatin1String("OK") && code->verdict != QLatin1String("NO"))
                std::abort();
        }
        (void)Codecs::confirmation(Codecs::Decode, typed);
        (void)Codecs::confirmation(Codecs::Encode, typed);
    }
    return 0;
}
