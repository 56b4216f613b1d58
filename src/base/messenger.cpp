#include "base/messenger.h"

#include <cstdio>

namespace {
void emitLine(FILE *out, const char *kind, const QString &text, const QString &caption)
{
    QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    std::fprintf(out, "%s%s\n", kind, line.toLocal8Bit().constData());
    std::fflush(out);
}
}

void ConsoleMessenger::error(const QString &text, const QString &caption)
{
    emitLine(stderr, "ERRO: ", text, caption);
}
void ConsoleMessenger::information(const QString &text, const QString &caption)
{
    emitLine(stdout, "", text, caption);
}
void ConsoleMessenger::warning(const QString &text, const QString &caption)
{
    emitLine(stderr, "AVISO: ", text, caption);
}
void ConsoleMessenger::plain(const QString &text, const QString &caption)
{
    emitLine(stdout, "", text, caption);
}
bool ConsoleMessenger::confirm(const QString &text, const QString &caption)
{
    emitLine(stdout, "", text + (m_answer ? QStringLiteral(" [Sim]") : QStringLiteral(" [Não]")), caption);
    return m_answer;
}
