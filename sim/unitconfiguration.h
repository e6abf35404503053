#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>

#include "files/sectionregistry.h"

struct ConfigStore;

// The configuration the simulated unit holds. It streams the keyword lines it
// was started with until an upload changes it; from then on it holds a model
// read from those lines, changed by each accepted upload batch, and streams
// what the sections of that model send.
class UnitConfiguration {
public:
    explicit UnitConfiguration(QStringList lines);
    ~UnitConfiguration();

    // The keyword lines for "#42" ("DNAME,Tank3"), without numbering.
    QStringList streamLines(quint32 features) const;

    // What the unit does with an accepted upload batch, line by line; returns
    // the lines no section of the unit reads, which change nothing.
    QStringList apply(const QStringList &uploadLines, quint32 features);

private:
    void readLines(quint32 features);

    QStringList lines_;
    SectionRegistry registry_;
    std::unique_ptr<ConfigStore> store_; // none until the first upload
};
