#pragma once

#include "files/sectioncore.h"

// The general settings and the authorised phone list: defaults, the "GENERAL"
// file keys, the upload lines and the download lines.
class GeneralCore : public SectionCore {
public:
    static constexpr qint32 kDefaultResendMinutes = 10;
    static constexpr qint16 kDefaultResendCount = 3;

    QString name() const override;

    // Texts empty, resend defaults, every phone slot free; priorities,
    // privileges and masks are kept.
    void clear(ConfigStore &store) const override;

    QStringList keywords() const override;
    void parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                   const QString &line, quint32 features) const override;
    QStringList downloadLines(const ConfigStore &store, quint32 features) const override;

    QStringList uploadLines(const ConfigStore &store, const UploadContext &context) const override;
    bool applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const override;

    void save(const ConfigStore &store, IniDocument &doc) const override;
    void restore(ConfigStore &store, const IniDocument &doc) const override;

    std::optional<FieldTerm> fieldTerm(const IniDocument &side, const QString &item,
                                       const QString &key) const override;
};
