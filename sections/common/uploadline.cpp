#include "uploadline.h"

#include <algorithm>

#include "model/texthelpers.h"

std::optional<UploadHead> ReadUploadHead(const QString &line, const QString &word, int count,
                                         QChar separator)
{
    if (!line.startsWith(word))
        return std::nullopt;
    const qsizetype first = word.size();
    qsizetype end = first;
    while (end < line.size() && line[end] >= QLatin1Char('0') && line[end] <= QLatin1Char('9'))
        ++end;
    bool ok = false;
    const int index = QStringView(line).sliced(first, end - first).toInt(&ok);
    if (!ok || index >= count)
        return std::nullopt;
    if (separator.isNull()) {
        if (end != line.size())
            return std::nullopt;
        return UploadHead{index, QString()};
    }
    if (end == line.size() || line[end] != separator)
        return std::nullopt;
    return UploadHead{index, line.sliced(end + 1)};
}

std::optional<QString> UploadValue(const QString &line, QStringView prefix)
{
    if (!line.startsWith(prefix))
        return std::nullopt;
    return line.sliced(prefix.size());
}

UploadFields::UploadFields(const QString &text) : fields_(text.split(QLatin1Char(','))) {}

std::optional<QString> UploadFields::takeFirst()
{
    if (fields_.isEmpty())
        return std::nullopt;
    return fields_.takeFirst();
}

std::optional<QString> UploadFields::take(QStringView prefix)
{
    const auto at = std::find_if(fields_.begin(), fields_.end(),
                                 [&](const QString &field) { return field.startsWith(prefix); });
    if (at == fields_.end())
        return std::nullopt;
    const QString value = at->sliced(prefix.size());
    fields_.erase(at);
    return value;
}

bool UploadFields::takeWord(QStringView word)
{
    return fields_.removeOne(word.toString());
}

namespace {

template <typename T>
std::optional<T> converted(const std::optional<QString> &text, bool (*check)(QStringView),
                           std::optional<T> (*convert)(double))
{
    if (!text || !check(*text))
        return std::nullopt;
    return convert(ParseNumber(*text));
}

std::optional<double> asDouble(double value)
{
    return value;
}

} // namespace

std::optional<double> UploadWhole(const std::optional<QString> &text)
{
    return converted(text, IsIntegerText, asDouble);
}

std::optional<qint16> UploadInt16(const std::optional<QString> &text)
{
    return converted(text, IsIntegerText, ToInt16);
}

std::optional<qint32> UploadInt32(const std::optional<QString> &text)
{
    return converted(text, IsIntegerText, ToInt32);
}

std::optional<quint32> UploadUInt32(const std::optional<QString> &text)
{
    return converted(text, IsIntegerText, ToUInt32);
}

std::optional<float> UploadFloat(const std::optional<QString> &text)
{
    return converted(text, IsDecimalText, ToFloat32);
}
