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
    const bool range = fault.problem == FieldFault::Problem::OutOfRange;
    // A number as the file writes it has a leading blank.
    const QString field = QStringLiteral("[%1] %2: \"%3\" ")
                              .arg(fault.item, fault.key.trimmed(), range ? fault.text.trimmed() : fault.text);
    if (range)
        return field + Translate(QStringLiteral("Valor fuera de rango")) + QStringLiteral(": ") + fault.detail;
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
    return lineTextFaults(store_, sections_, sections);
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
    const bool ranges = std::any_of(faults.begin(), faults.end(), [](const FieldFault &f) {
        return f.problem == FieldFault::Problem::OutOfRange;
    });
    warn(Translate(ranges ? QStringLiteral("No se envia nada a la unidad: estos campos no pueden ir tal como estan")
                          : QStringLiteral("No se envia nada a la unidad: estos campos contienen un caracter que su "
                                           "linea no admite"))
         + QStringLiteral(":\n\n") + lines.join(u'\n'));
    return false;
}
