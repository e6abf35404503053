#include "uploadgate.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>

#include "editorregistry.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/product.h"

QString fieldFaultText(const FieldFault &fault)
{
    using Problem = FieldFault::Problem;
    // A number as the file writes it has a leading blank.
    const QString field = QStringLiteral("[%1] %2: \"%3\" ")
                              .arg(fault.item, fault.key.trimmed(),
                                   fault.problem == Problem::Separator ? fault.text : fault.text.trimmed());
    switch (fault.problem) {
    case Problem::OutOfRange:
        return field + Translate(QStringLiteral("Valor fuera de rango")) + QStringLiteral(": ") + fault.detail;
    case Problem::Conflict:
        return field + Translate(QStringLiteral("junto con %1: su ventana muestra solo uno de los dos; elija uno"))
                           .arg(fault.detail.trimmed());
    case Problem::NotTaken:
        return field + Translate(QStringLiteral("no se ha tomado del archivo; escriba un valor en su casilla"));
    case Problem::Separator:
        break;
    }
    return field + Translate(QStringLiteral("contiene")) + QStringLiteral(" \"") + fault.detail + u'"';
}

UploadGate::UploadGate(const EditorRegistry &editors, const ConfigStore &store,
                       const SectionRegistry &sections, QObject *parent)
    : QObject(parent), editors_(editors), store_(store), sections_(sections)
{
    warn = [](const QString &message) {
        QMessageBox::warning(QApplication::activeWindow(), Product::ProductTitle, message);
    };
}

const QStringList &UploadGate::configSections()
{
    return SectionRegistry::uploadOrder();
}

const QStringList &UploadGate::voiceListSections()
{
    static const QStringList sections{QStringLiteral("Aut_Voz")};
    return sections;
}

QList<FieldFault> UploadGate::check(const QStringList &sections) const
{
    editors_.storeAll(SectionRegistry::fileOrder());
    QList<FieldFault> faults = lineTextFaults(store_, sections_, sections);
    if (untaken)
        faults += untaken(sections);
    return faults;
}

bool UploadGate::pass(const QStringList &sections) const
{
    const QList<FieldFault> faults = check(sections);
    if (faults.isEmpty())
        return true;
    QStringList lines;
    for (const FieldFault &fault : faults)
        lines << fieldFaultText(fault);
    if (openEditor)
        openEditor(faults.first().section, faults.first().slot);
    const bool onlySeparators = std::all_of(faults.begin(), faults.end(), [](const FieldFault &f) {
        return f.problem == FieldFault::Problem::Separator;
    });
    warn(Translate(onlySeparators ? QStringLiteral("No se envia nada a la unidad: estos campos contienen un caracter "
                                                   "que su linea no admite")
                                  : QStringLiteral("No se envia nada a la unidad: estos campos no pueden ir tal como "
                                                   "estan"))
         + QStringLiteral(":\n\n") + lines.join(u'\n'));
    return false;
}
