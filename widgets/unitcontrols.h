#pragma once

#include <QList>
#include <functional>

class QObject;
class QWidget;
class UnitConnection;

// Runs `update` now, and again whenever the unit connects or the link drops
// (a disconnect, a lost port, the firmware's hand-over), for as long as
// `owner` lives: controls that need the unit follow the connection.
void followConnection(UnitConnection &unit, QObject *owner, const std::function<void()> &update);

// Controls that do nothing without the unit, and have no other reason to be
// disabled: enabled only while it is connected.
void enableWhileConnected(UnitConnection &unit, QObject *owner, const QList<QWidget *> &controls);
