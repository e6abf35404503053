#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct ConfigStore;
class IniDocument;
class SectionRegistry;

// One file key of a configuration as a person reads it: the section and the
// record it belongs to, its caption and its value as the windows show them,
// every text in the program's language.
struct CatalogueField {
    QString section;        // the registered section ("Caudal")
    QString sectionCaption; // "Caudalimetros"
    QString item;           // the file section ("CAUDAL 2")
    QString key;            // the file key ("MAXIMO( 0)")
    QString record;         // "Caudalimetro 2"
    QString caption;        // "Configuracion 0 - Maximo"
    QString value;          // in the editors' form, without the unit
    QString unit;
    QString fileText;       // the value as the file holds it
    bool enabled = true;    // false for a record or alarm slot switched off
    bool secret = false;    // a password: never shown, printed or searched

    // The value and its unit as one text.
    QString valueWithUnit() const;
    // The same, a secret as asterisks: what leaves the program's windows.
    QString shownValue() const;
};

// Every file key of a configuration, section by section in the order of the
// navigation tree (sections no window shows last), keys in the file's order.
class FieldCatalogue {
public:
    FieldCatalogue() = default;
    FieldCatalogue(const SectionRegistry &sections, const ConfigStore &store);

    const QList<CatalogueField> &fields() const { return fields_; }

    // The fields whose caption, record, key or value hold every word of
    // `text`, accents and case ignored, enabled records first; every field
    // for a blank text.
    QList<const CatalogueField *> find(const QString &text) const;

    // The registered sections in the catalogue's order.
    static const QStringList &sectionOrder();
    // A section's caption as the navigation tree names it, translated.
    static QString sectionCaption(const QString &section);

private:
    QList<CatalogueField> fields_;
    QStringList searchTexts_; // each field's searchable texts, folded
};

// One key of file section `item` in `side` (a whole configuration file as
// the sections write it), as the catalogue names it; none for a key the
// section does not know.
std::optional<CatalogueField> catalogueField(const SectionRegistry &sections, const QString &section,
                                             const IniDocument &side, const QString &item, const QString &key);

// A text as the search compares it: accents dropped, case folded.
QString searchFolded(const QString &text);

// A value of the configuration file as the editors show it: a number in the
// editors' form (".5" shows as "0.5"), "True" and "False" as "Si" and "No"
// (translated), any other text as it is.
QString editorValueText(const QString &fileText);

// The number of a file section's record ("CAUDAL 2" gives "2"); empty when
// the name ends in no number.
QString recordNumber(const QString &item);
