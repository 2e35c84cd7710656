// SPDX-License-Identifier: GPL-3.0-or-later
#include "tricklingdevice.h"

#include <algorithm>
#include <cstring>

TricklingDevice::TricklingDevice(std::string_view bytes, qint64 readSize)
    : m_unread(bytes), m_readSize(readSize)
{
    // Unbuffered, so that each read of the reader is one readData() here.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 TricklingDevice::readData(char *data, qint64 maxSize)
{
    const qint64 count = std::min({maxSize, m_readSize, qint64(m_unread.size())});
    std::memcpy(data, m_unread.data(), count);
    m_unread.remove_prefix(count);
    return count;
}
