#pragma once

#include <QByteArray>
#include <QtGlobal>

// The most data the unit's flash takes from one file; a larger image cannot be
// the unit's.
constexpr qint64 kFirmwareFlashBytes = 1024 * 1024;

// What an Intel HEX check found: the first fault and its line (1-based), or none.
struct IntelHexCheck {
    enum Problem {
        None,
        Empty,        // no bytes at all
        NotARecord,   // a line without the ":" start code (a blank line too)
        BadDigits,    // a character that is not a hexadecimal digit
        BadLength,    // the record's byte count disagrees with its line
        BadChecksum,  // the record's bytes do not add up to zero
        UnknownType,  // a record type other than 00 to 05
        BadTypeLength, // an end or address record with the wrong byte count
        NoEndRecord,  // the file ends without the end-of-file record
        DataAfterEnd, // more than line ends after the end-of-file record
        TooLarge,     // more data than the flash takes
    };

    Problem problem = None;
    int line = 0;
    qint64 dataBytes = 0; // data bytes of the records read up to here
    bool ok() const { return problem == None; }
};

// Checks that `text` is Intel HEX, record by record: start code, byte count,
// address, type, data and a checksum that adds up; only the six known record
// types; an end-of-file record with nothing after it but line ends (CR LF,
// LF or CR); and at most `maxDataBytes` of data. The text itself is not changed.
IntelHexCheck checkIntelHex(const QByteArray &text, qint64 maxDataBytes = kFirmwareFlashBytes);
