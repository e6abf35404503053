#include "inidocument.h"

#include <QDir>
#include <QFile>
#include <QVarLengthArray>
#include <optional>

#include "atomicsave.h"
#include "model/cp1252.h"
#include "textlines.h"

namespace {

bool fail(FileFailure *failure, FileProblem problem, const QString &path, const QString &detail = {})
{
    if (failure)
        *failure = {problem, QDir::toNativeSeparators(path), detail};
    return false;
}

// The name of a "[name]" line; nothing when the line is no section header.
std::optional<QString> headerName(QStringView line)
{
    const QStringView t = line.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed().toString();
}

// The key of a "key=value" line, or an empty view for blank, comment and other lines.
QStringView keyName(QStringView line)
{
    const QStringView t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return {};
    const qsizetype eq = t.indexOf(u'=');
    return eq < 0 ? QStringView() : t.left(eq).trimmed();
}

QString valueOf(QStringView line)
{
    QStringView v = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        v = v.mid(1, v.size() - 2);
    return v.left(IniDocument::kMaxValueLength).toString();
}

char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
    return c.toCaseFolded().unicode();
}

} // namespace

// Names that compare equal without regard to case fold to the same characters.
// The folded characters go through Qt's seeded hash, so that a file of names
// chosen to collide cannot make every look-up walk them all.
size_t IniDocument::Name::hash(size_t seed) const
{
    QVarLengthArray<char16_t, 64> chars;
    chars.reserve(text.size());
    for (const QChar c : text)
        chars.append(folded(c));
    return qHashBits(chars.constData(), size_t(chars.size()) * sizeof(char16_t), seed);
}

IniDocument::IniDocument()
{
    parse({});
}

bool IniDocument::load(const QString &path, FileFailure *failure)
{
    parse({});
    QFile file(path);
    if (!file.exists())
        return true;
    const auto unreadable = [&] {
        return fail(failure, FileProblem::Unreadable, path, file.errorString());
    };
    if (!file.open(QIODevice::ReadOnly))
        return unreadable();
    // Read one byte past the cap so that files without a known size are caught too.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    // A failed read must not pass for an empty file: saving would then drop its content.
    if (file.error() != QFileDevice::NoError)
        return unreadable();
    if (bytes.size() > kMaxFileSize)
        return fail(failure, FileProblem::TooLarge, path);
    if (bytes.contains('\0'))
        return fail(failure, FileProblem::NotText, path);
    parse(bytes);
    return true;
}

bool IniDocument::save(const QString &path, FileFailure *failure) const
{
    QString reason;
    return SaveWholeFile(path, serialize(), &reason) || fail(failure, FileProblem::Unwritable, path, reason);
}

void IniDocument::parse(const QByteArray &bytes)
{
    sections_.clear();
    sections_.emplace_back();
    sectionIndex_.clear();

    const QString text = Cp1252::decode(bytes);
    for (const QStringView line : textLines(text)) {
        const auto name = headerName(line);
        if (!name) {
            addLine(sections_.back(), line.toString());
            continue;
        }
        const int index = addSection(line.toString());
        // A repeated section stays in the file, but only its first occurrence is read or written.
        int &first = sectionIndex_[Name{*name}].index;
        if (first < 0)
            first = index;
    }
}

QByteArray IniDocument::serialize() const
{
    QByteArray bytes;
    const auto put = [&bytes](const QString &line) {
        Cp1252::appendEncoded(bytes, line);
        bytes.append("\r\n", 2);
    };
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0)
            put(sections_[i].header);
        for (const QString &line : sections_[i].lines)
            put(line);
    }
    return bytes;
}

const QString *IniDocument::findLine(const QString &section, const QString &key) const
{
    const int s = sectionIndex_.value(Name{section.trimmed()}).index;
    if (s < 0)
        return nullptr;
    const Section &sec = sections_[s];
    const int line = sec.keys.value(Name{key.trimmed()}).index;
    return line < 0 ? nullptr : &sec.lines[line];
}

QString IniDocument::readValue(const QString &section, const QString &key) const
{
    const QString *line = findLine(section, key);
    return line ? valueOf(*line) : QString();
}

bool IniDocument::hasKey(const QString &section, const QString &key) const
{
    return findLine(section, key) != nullptr;
}

bool IniDocument::hasSection(const QString &section) const
{
    return sectionIndex_.contains(Name{section.trimmed()});
}

QStringList IniDocument::sectionNames() const
{
    QStringList names;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        const QString name = headerName(sections_[i].header).value_or(QString());
        if (sectionIndex_.value(Name{name}).index == int(i))
            names.append(name);
    }
    return names;
}

QList<std::pair<QString, QString>> IniDocument::keyValues(const QString &section) const
{
    QList<std::pair<QString, QString>> pairs;
    const int s = sectionIndex_.value(Name{section.trimmed()}).index;
    if (s < 0)
        return pairs;
    const Section &sec = sections_[s];
    for (int i = 0; i < int(sec.lines.size()); ++i) {
        const QStringView key = keyName(sec.lines[i]);
        if (!key.isEmpty() && sec.keys.value(Name{key.toString()}).index == i)
            pairs.append({key.toString(), valueOf(sec.lines[i])});
    }
    return pairs;
}

void IniDocument::writeValue(const QString &section, const QString &key, const QString &value)
{
    const QString keyText = key.trimmed();
    if (keyText.isEmpty())
        return;
    QString cleanValue = value;
    cleanValue.replace(u'\r', u' ').replace(u'\n', u' ');

    const QString sectionName = section.trimmed();
    int &s = sectionIndex_[Name{sectionName}].index;
    if (s < 0)
        s = addSection(u'[' + sectionName + u']');
    Section &sec = sections_[s];
    int &keyLine = sec.keys[Name{keyText}].index;
    if (keyLine >= 0) {
        setValue(sec.lines[keyLine], cleanValue);
        return;
    }
    // After the section's last key; in a section without keys, after its last
    // non-blank line. Either way no key line moves, so the index stays valid.
    int pos = sec.lastKey + 1;
    if (sec.lastKey < 0) {
        pos = int(sec.lines.size());
        while (pos > 0 && sec.lines[pos - 1].trimmed().isEmpty())
            --pos;
    }
    sec.lines.insert(pos, keyText + u'=' + cleanValue);
    keyLine = pos;
    sec.lastKey = pos;
}

int IniDocument::addSection(const QString &header)
{
    sections_.push_back(Section{header, {}, {}, -1});
    return int(sections_.size()) - 1;
}

void IniDocument::addLine(Section &section, const QString &line)
{
    const int index = int(section.lines.size());
    section.lines.append(line);
    const QStringView key = keyName(line);
    if (key.isEmpty())
        return;
    // A repeated key stays in the file; the first one is the one read and written.
    int &first = section.keys[Name{key.toString()}].index;
    if (first < 0)
        first = index;
    section.lastKey = index;
}

// Rewrites a key line with a new value, keeping the key as the line spells it.
void IniDocument::setValue(QString &line, const QString &value)
{
    const QStringView key = keyName(line);
    if (key.data() == line.constData()) {
        // The common "KEY=old" line: cut after the key and append, reusing the line's storage.
        line.truncate(key.size());
        line += u'=';
        line += value;
    } else {
        line = key.toString() + u'=' + value;
    }
}
