#include "linkfailuretext.h"

#include "files/langtable.h"
#include "link/linkerror.h"

namespace {

QString onPort(const LinkFailure &failure, const QString &text)
{
    return failure.port.isEmpty() ? text : failure.port + QStringLiteral(": ") + text;
}

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + QStringLiteral(")");
}

} // namespace

QString LinkFailureText(const LinkFailure &failure)
{
    switch (failure.error) {
    case LinkError::None:
        return {};
    case LinkError::PortMissing:
        return onPort(failure, Translate(QStringLiteral("El puerto no existe.")));
    case LinkError::PortInUse:
        return onPort(failure, Translate(QStringLiteral("El puerto esta en uso por otro programa.")));
    case LinkError::PortPermission:
        return onPort(failure, Translate(QStringLiteral(
            "Sin permiso para abrir el puerto: el usuario debe pertenecer al grupo dialout.")));
    case LinkError::PortOther:
        return onPort(failure, withDetail(Translate(QStringLiteral("No se puede abrir el puerto.")), failure.detail));
    case LinkError::PortLost:
        return Translate(QStringLiteral("Se perdio el puerto")) + QLatin1Char(' ') + failure.port;
    case LinkError::NoAnswer:
        return onPort(failure, Translate(QStringLiteral("El equipo no responde.")));
    case LinkError::Refused:
        return onPort(failure, Translate(QStringLiteral("El equipo no acepta la clave de acceso.")));
    case LinkError::BadAnswer:
        return onPort(failure, Translate(QStringLiteral("Respuesta no valida del equipo.")));
    case LinkError::ModemBusy:
    case LinkError::ModemNoCarrier:
    case LinkError::ModemNoDialtone:
    case LinkError::ModemNoAnswer:
    case LinkError::ModemError:
        return onPort(failure, Translate(QStringLiteral("El modem responde:")) + QLatin1Char(' ') + failure.detail);
    case LinkError::SimulatorFailed:
        return withDetail(Translate(QStringLiteral("No se puede iniciar la unidad simulada.")), failure.detail);
    case LinkError::Busy:
        return Translate(QStringLiteral("Otra operacion esta usando la comunicacion; espere a que termine."));
    case LinkError::BadNumber:
        return onPort(failure, Translate(QStringLiteral("El numero de telefono contiene caracteres que el modem no puede marcar.")));
    }
    return {};
}
