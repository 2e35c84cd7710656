// SPDX-License-Identifier: GPL-3.0-or-later
#include "interruptcleanup.h"

#include "resultfolder.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include "win32path.h"

#include <io.h>
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Read by the signal handler, so kept where it needs no allocation: the
// folder's handle, -1 while no temporary file is at stake, and the file's
// name within it. The name is written only while the handle is -1.
std::atomic<int> pendingFolder{-1};
char pendingName[256];

extern "C" void removeAndReraise(int signal)
{
    if (const int folder = pendingFolder.load(); folder >= 0)
        ::unlinkat(folder, pendingName, 0);
    // The handler was installed to reset itself: the signal now does what it
    // does by default, once this returns.
    ::raise(signal);
}

void removeOn(int signal)
{
    struct sigaction action = {};
    if (::sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN)
        return;
    action.sa_handler = removeAndReraise;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    ::sigaction(signal, &action, nullptr);
}
#endif

#ifdef Q_OS_WIN
// The handler runs on a thread of its own: the path and the handle are
// kept where it needs no allocation. The path is written only while
// `pendingSet` is false.
std::atomic<bool> pendingSet{false};
std::atomic<HANDLE> pendingHandle{INVALID_HANDLE_VALUE};
wchar_t pendingPath[32768];

BOOL WINAPI removeOnConsoleEvent(DWORD)
{
    if (pendingSet.load()) {
        // A file open in this process cannot be removed: it is closed first,
        // and the process ends before it is written again.
        if (const HANDLE file = pendingHandle.exchange(INVALID_HANDLE_VALUE); file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
        ::DeleteFileW(pendingPath);
    }
    return FALSE; // the default handler ends the process as the event asks
}
#endif

} // namespace

void RemoveTemporaryFileOnInterrupt()
{
#ifdef Q_OS_UNIX
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        removeOn(signal);
#endif
#ifdef Q_OS_WIN
    ::SetConsoleCtrlHandler(removeOnConsoleEvent, TRUE);
#endif
}

void TemporaryFileStarted(const ResultFolder &folder, const QString &name)
{
    TemporaryFileGone();
#ifdef Q_OS_UNIX
    const QByteArray bytes = QFile::encodeName(name);
    const auto size = std::min<std::size_t>(bytes.size(), sizeof pendingName - 1);
    std::memcpy(pendingName, bytes.constData(), size);
    pendingName[size] = '\0';
    pendingFolder.store(folder.handle());
#endif
#ifdef Q_OS_WIN
    const QString path = Win32Path(folder.pathOf(name));
    const auto size = std::min<std::size_t>(path.size(), std::size(pendingPath) - 1);
    std::memcpy(pendingPath, path.utf16(), size * sizeof(wchar_t));
    pendingPath[size] = L'\0';
    pendingSet.store(true);
#endif
}

void TemporaryFileOpened([[maybe_unused]] const QFile &file)
{
#ifdef Q_OS_WIN
    pendingHandle.store(reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle())));
#endif
}

void TemporaryFileGone()
{
#ifdef Q_OS_UNIX
    pendingFolder.store(-1);
#endif
#ifdef Q_OS_WIN
    pendingSet.store(false);
    pendingHandle.store(INVALID_HANDLE_VALUE);
#endif
}
