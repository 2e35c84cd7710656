// SPDX-License-Identifier: GPL-3.0-or-later
#include "systemerror.h"

#include <QIODevice>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#endif

using namespace Qt::StringLiterals;

#ifdef Q_OS_WIN

namespace {

// The system's message for `code` in the user's language, without the line
// end it comes with.
QString windowsMessage(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD size = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const QString message = QString::fromWCharArray(text, int(size)).trimmed();
    ::LocalFree(text);
    return message.isEmpty() ? u"0x%1"_s.arg(code, 8, 16, QLatin1Char('0')) : message;
}

} // namespace

QString LastSystemError()
{
    return windowsMessage(::GetLastError());
}

// Windows still holds the error of Qt's failed call; Qt's account is taken
// only where Windows had none.
QString ReasonOf(const QIODevice &file)
{
    const DWORD code = ::GetLastError();
    return code == ERROR_SUCCESS ? file.errorString() : windowsMessage(code);
}

// The errors Windows itself gives where it is asked to do the same: it
// denies opening or replacing a folder as a file, and cannot access a link
// it does not follow.
QString ReasonFor(Refusal refusal)
{
    switch (refusal) {
    case Refusal::AccessDenied:
    case Refusal::IsDirectory:
        return windowsMessage(ERROR_ACCESS_DENIED);
    case Refusal::FileExists:
        return windowsMessage(ERROR_FILE_EXISTS);
    case Refusal::NotRegularFile:
        return windowsMessage(ERROR_NOT_SUPPORTED);
    case Refusal::SymbolicLink:
        return windowsMessage(ERROR_CANT_ACCESS_FILE);
    }
    Q_UNREACHABLE();
    return {};
}

#else

QString LastSystemError()
{
    return qt_error_string(errno);
}

// Where Qt has no account of the failure, errno still holds the system's.
QString ReasonOf(const QIODevice &file)
{
    const int error = errno;
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == u"Unknown error"_s ? qt_error_string(error) : reason;
}

QString ReasonFor(Refusal refusal)
{
    switch (refusal) {
    case Refusal::AccessDenied:
        return qt_error_string(EACCES);
    case Refusal::FileExists:
        return qt_error_string(EEXIST);
    case Refusal::IsDirectory:
        return qt_error_string(EISDIR);
    case Refusal::NotRegularFile:
        return u"Not a regular file"_s;
    case Refusal::SymbolicLink:
        return u"is a symbolic link"_s;
    }
    Q_UNREACHABLE();
    return {};
}

#endif
