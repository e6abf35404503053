#pragma once

#include <QtGlobal>

// The unit's MODBUS serial bus. This product has no MODBUS channels; the
// settings only pass between the unit and the configuration file.
struct ModbusBus {
    qint32 BaudRate = 0;
    bool Master = false;
    qint16 SlaveAddress = 0;
    // The last of the bus's standard rates BaudRate held: what the file keeps
    // while BaudRate holds anything else.
    qint32 SavedBaudRate = 0;
};
