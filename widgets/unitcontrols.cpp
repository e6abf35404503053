#include "unitcontrols.h"

#include <QWidget>

#include "link/unitconnection.h"

void followConnection(UnitConnection &unit, QObject *owner, const std::function<void()> &update)
{
    QObject::connect(&unit, &UnitConnection::connected, owner, update);
    QObject::connect(&unit, &UnitConnection::disconnected, owner, update);
    update();
}

void enableWhileConnected(UnitConnection &unit, QObject *owner, const QList<QWidget *> &controls)
{
    followConnection(unit, owner, [&unit, controls] {
        for (QWidget *control : controls)
            control->setEnabled(unit.isConnected());
    });
}
