// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
// The console that `stream` shows on; none for a pipe, a file or NUL, which
// _isatty takes for a terminal too.
HANDLE consoleOf(std::FILE *stream)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode;
    return ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}
#endif

// Where a progress line can be shown and then cleared with an escape
// sequence: a terminal, or a console that has been told to take one.
bool showsProgress(std::FILE *stream)
{
#ifdef Q_OS_WIN
    const HANDLE console = consoleOf(stream);
    DWORD mode;
    return console && ::GetConsoleMode(console, &mode)
        && ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
    return ::isatty(::fileno(stream));
#endif
}

} // namespace

void WriteText(std::FILE *stream, const QString &text)
{
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        ::WriteConsoleW(console, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), nullptr,
                        nullptr);
        return;
    }
#endif
    std::fputs(text.toLocal8Bit().constData(), stream);
}

Progress::Progress() : m_enabled(showsProgress(stderr))
{
    m_clock.start();
}

Progress::~Progress()
{
    if (m_shown)
        std::fprintf(stderr, "\r\033[K");
}

bool Progress::operator()(qsizetype index, qsizetype count, const QString &)
{
    if (m_enabled && m_clock.elapsed() >= 1000) {
        std::fprintf(stderr, "\rtarvel-batch: %lld of %lld files done", qint64(index), qint64(count));
        std::fflush(stderr);
        m_shown = true;
    }
    return true;
}
