#pragma once

#include <QWidget>
#include <functional>

#include "files/fieldcatalogue.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class SectionRegistry;
struct ConfigStore;

// "Buscar": a setting of the configuration found by part of its caption,
// record, key or value (accents and case ignored). The matches are listed
// as the operator types, records in use first, in a list laid over
// `listArea` below the box; Enter or a double click on one chooses it and
// puts the list away until the box is used again.
class SettingSearch : public QWidget {
    Q_OBJECT
public:
    SettingSearch(const SectionRegistry &sections, const ConfigStore &store, QWidget *listArea,
                  QWidget *parent = nullptr);

    // Runs before the configuration is read for a search: the editors store
    // what their boxes hold.
    std::function<void()> beforeSearch;

    void LoadText();
    // Puts the cursor in the box with its text selected, the matches read
    // afresh (Ctrl+F).
    void begin();
    // The listed matches of a text, as typing it lists them.
    void search(const QString &text);
    // The match of a row of the list; null for none.
    const CatalogueField *match(int row) const;
    // The list's current match, as Enter chooses it.
    void chooseCurrent();

    QLineEdit *Buscar;
    QTreeWidget *Resultados;

signals:
    void fieldChosen(const CatalogueField &field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void readCatalogue();
    // The list below the box, as wide as the area allows.
    void placeList();

    const SectionRegistry &sections_;
    const ConfigStore &store_;
    FieldCatalogue catalogue_;
    bool catalogueRead_ = false;
    QList<const CatalogueField *> matches_;
};
