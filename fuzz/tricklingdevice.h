// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

#include <string_view>

// A read-only sequential device over bytes in memory that hands out at most
// `readSize` bytes per read, as a pipe or a slow disk may.
class TricklingDevice : public QIODevice
{
public:
    TricklingDevice(std::string_view bytes, qint64 readSize);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    std::string_view m_unread;
    qint64 m_readSize;
};
