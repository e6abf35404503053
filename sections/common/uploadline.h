#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// Helpers the section cores share for the unit's side of an upload: reading
// back the lines their upload writers send ("CT3= 10,EQ= 0,ACT= 5",
// "+ALMD0=Door,INDEX= 1,PC= 5,SREST", "-CT4"). A reader takes a line whole
// or not at all: one that does not read leaves the configuration untouched.

// The item a line names after its word: "CT3=..." is item 3 of the word "CT".
struct UploadHead {
    int index;
    QString rest; // what follows the separator
};

// The head of a line that starts with `word`, then plain digits naming one of
// `count` items (0 .. count - 1), then `separator`. A null separator means
// the line ends after the digits.
std::optional<UploadHead> ReadUploadHead(const QString &line, const QString &word, int count,
                                         QChar separator);

// The rest of a line that starts with `prefix` ("CSM=", "APNRETRIES=").
std::optional<QString> UploadValue(const QString &line, QStringView prefix);

// The comma-separated fields after a line's head, each "KEY=value", a bare
// word ("SREST") or a word with its value glued on ("PRV2"). Readers take
// the fields they know; any field left over makes the line unreadable.
class UploadFields {
public:
    explicit UploadFields(const QString &text);

    // The first field left, as it stands (the value right after the head).
    std::optional<QString> takeFirst();
    // The rest of the first field that starts with `prefix` ("UNIT=", "PRV").
    std::optional<QString> take(QStringView prefix);
    // True, taking it, when a field is exactly `word`.
    bool takeWord(QStringView word);
    bool empty() const { return fields_.isEmpty(); }

private:
    QStringList fields_;
};

// Numbers as the writers send them (NumStr, NumberText): the number alone,
// blanks around it allowed. No value when the text is absent, is no number
// of that kind, or does not fit the type.
std::optional<double> UploadWhole(const std::optional<QString> &text);
std::optional<qint16> UploadInt16(const std::optional<QString> &text);
std::optional<qint32> UploadInt32(const std::optional<QString> &text);
std::optional<quint32> UploadUInt32(const std::optional<QString> &text);
std::optional<float> UploadFloat(const std::optional<QString> &text);
