#include "filetexts.h"

#include "files/configfile.h"
#include "files/langtable.h"

QString fileFailureText(const FileFailure &f)
{
    const QString because = f.detail.isEmpty() ? QString() : QStringLiteral(": ") + f.detail;
    switch (f.problem) {
    case FileProblem::None:
    case FileProblem::NotConfiguration:
        return f.path;
    case FileProblem::NoName:
        return Translate(QStringLiteral("No se ha indicado el nombre del archivo"));
    case FileProblem::Unreadable:
        return Translate(QStringLiteral("No se puede leer el archivo")) + u' ' + f.path + because;
    case FileProblem::TooLarge:
        return Translate(QStringLiteral("El archivo es demasiado grande")) + QStringLiteral(": ") + f.path;
    case FileProblem::NotText:
        return Translate(QStringLiteral("El archivo no es un archivo de texto")) + QStringLiteral(": ") + f.path;
    case FileProblem::Unwritable:
        return Translate(QStringLiteral("No se puede guardar el archivo")) + u' ' + f.path + because;
    case FileProblem::NotReplaced:
        return Translate(QStringLiteral("El archivo no es un archivo de configuracion y no se ha modificado; "
                                        "use \"Guardar como\" para elegir otro nombre"))
               + QStringLiteral(": ") + f.path;
    }
    return f.path;
}

QString dialogFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).split(';', Qt::SkipEmptyParts).join(' ').trimmed();
        if (patterns.isEmpty())
            continue;
        // The dialog takes its patterns from the parentheses of each entry.
        filters.append(text.contains('(' + patterns + ')') ? text : text + " (" + patterns + ")");
    }
    return filters.join(";;");
}

QString translatedFilter(const QString &pipeFilter)
{
    const QString filter = dialogFilter(Translate(pipeFilter));
    return filter.isEmpty() ? dialogFilter(pipeFilter) : filter;
}

QString configFileFilter()
{
    return translatedFilter(QStringLiteral("Archivo de configuracion QCF (*.qcf)|*.qcf|Todos los ficheros (*.*)|*.*"));
}
