// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fuzzinput.h"
#include "tricklingdevice.h"

#include "linereader.h"

// The engine's reader over the rest of a fuzzer's input, through a buffer of
// 1 to 64 bytes and reads of 1 to 256 bytes, both taken from the input, so
// that lines and CR LF pairs straddle buffer ends and reads come short.
struct SmallBufferStream
{
    explicit SmallBufferStream(FuzzInput &input, TextEncoding encoding = TextEncoding::Bytes)
        : blockSize(1 + input.byte() % 64),
          readSize(1 + input.byte()),
          bytes(input.rest()),
          device(bytes, readSize),
          reader(device, blockSize, encoding)
    {
    }

    qsizetype blockSize;
    qint64 readSize;
    std::string_view bytes;
    TricklingDevice device;
    LineReader reader;
};
