#pragma once

#include "files/sectioncore.h"
#include "timerfamily.h"

// One timer family's section: Clear, the download lines ("CTIMER" and
// "CTIMER.ACTION"), the unit's side of them, the upload lines and the file
// sections ("CTIMER 12"), all as its row of timerFamilies() says.
class TimerCore : public SectionCore {
public:
    explicit TimerCore(const TimerFamily &family);

    QString name() const override;
    // The family's defaults; actions and the cyclic flag stay.
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    QStringList uploadLines(const ConfigStore &store, const UploadContext &context) const override;
    bool applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;
    // A timer's keys by the timer window's captions; the record keeps the
    // window's naming (the family and the timer's number).
    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;

private:
    QString actionKeyword() const;
    QString fileSection(int index) const;
    void parseTimerLine(ConfigStore &store, int index, const QString &line) const;

    const TimerFamily &family_;
};
