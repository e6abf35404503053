#pragma once

#include "files/sectioncore.h"

// The voice-call authorisation list as the configuration sees it: Clear and
// the "AUT_VOZ" file keys. The list has its own exchanges with the unit, so
// it has no download keyword and no upload line.
class VoiceListCore : public SectionCore {
public:
    QString name() const override;
    // The file section that holds the list.
    static QString fileSection();

    // An empty list and no macro; the acknowledgement switch is kept.
    void clear(ConfigStore &store) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;

    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
