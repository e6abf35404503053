#pragma once

#include <QList>
#include <QString>

struct ConfigStore;
class IniDocument;
class SectionRegistry;

// One difference between two configurations, as their files would hold them.
struct ConfigDifference {
    enum class Side { Both, LeftOnly, RightOnly };

    QString section; // the registered section ("Caudal")
    QString item;    // the file section holding the key: the channel or item ("CAUDAL2")
    QString key;     // empty when the whole item is on one side only
    QString left;    // the value, or the item's key count when the whole item is one-sided
    QString right;
    Side side = Side::Both;

    friend bool operator==(const ConfigDifference &, const ConfigDifference &) = default;
};

// The differences between what two models would write to a configuration
// file, in the file's order: each section saves both models and the values
// are compared key by key as text, so values the save writes alike are equal.
// An item or a key that only one side writes is listed once as such.
QList<ConfigDifference> compareConfigurations(const ConfigStore &left, const ConfigStore &right,
                                              const SectionRegistry &registry);

// The same over two documents holding what one section wrote; appends to out.
void compareDocuments(const QString &section, const IniDocument &left, const IniDocument &right,
                      QList<ConfigDifference> &out);
