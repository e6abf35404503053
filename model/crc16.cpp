#include "crc16.h"

quint16 Crc16Update(quint16 reg, quint8 byte)
{
    reg ^= byte;
    for (int bit = 0; bit < 8; ++bit)
        reg = (reg & 1) ? quint16((reg >> 1) ^ 0xA001) : quint16(reg >> 1);
    return reg;
}

quint16 Crc16(QByteArrayView bytes)
{
    quint16 reg = 0xFFFF;
    for (char b : bytes)
        reg = Crc16Update(reg, quint8(b));
    return reg;
}
