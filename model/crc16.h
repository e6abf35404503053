#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The 16-bit CRC of the voice-call list (reflected polynomial 0xA001, the
// MODBUS CRC). One byte into the register:
quint16 Crc16Update(quint16 reg, quint8 byte);
// A run of bytes, the register starting at 0xFFFF; no final exclusive-or.
quint16 Crc16(QByteArrayView bytes);
