#include "uploadcompare.h"

#include <QHash>
#include <QSet>
#include <algorithm>

#include "sectionregistry.h"

namespace {

// One field of an upload line as a key can use: its name ("INDEX"; empty for
// the value of the line's head) and what it adds to the key (",INDEX= 1").
struct KeyField {
    QString name;
    QString keyText;
};

struct UploadLine {
    QString text;
    bool sent = false;
    QString head;            // before the first "=" or ",", without the sign that enables or disables
    QList<KeyField> fields;
    QString key;
};

UploadLine splitLine(const QString &text, bool sent)
{
    UploadLine line{text, sent, {}, {}, {}};
    QStringView body(text);
    if (body.startsWith(u'+') || body.startsWith(u'-'))
        body = body.mid(1);
    const QList<QStringView> parts = body.split(u',');
    const QStringView first = parts.first();
    const qsizetype equals = first.indexOf(u'=');
    line.head = first.left(equals).toString();
    if (equals >= 0)
        line.fields.append({{}, first.mid(equals).toString()});
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QStringView part = parts[i];
        line.fields.append({part.left(part.indexOf(u'=')).toString(), u',' + part.toString()});
    }
    return line;
}

const KeyField *findField(const UploadLine &line, const QString &name)
{
    for (const KeyField &field : line.fields) {
        if (field.name == name)
            return &field;
    }
    return nullptr;
}

// Whether field `name` is on every line of `group` and tells the lines of each side apart.
bool identifies(const QList<UploadLine> &lines, const QList<qsizetype> &group, const QString &name)
{
    QSet<QString> seen[2];
    for (const qsizetype i : group) {
        const KeyField *field = findField(lines[i], name);
        if (!field)
            return false;
        QSet<QString> &side = seen[lines[i].sent];
        if (side.contains(field->keyText))
            return false;
        side.insert(field->keyText);
    }
    return true;
}

// Lines whose head repeats on a side are told apart by the first field that
// identifies them (a phone's number, an alarm slot's INDEX); failing one, by
// their place among the lines of that head.
void nameRepeatedHead(QList<UploadLine> &lines, const QList<qsizetype> &group)
{
    for (const KeyField &candidate : lines[group.first()].fields) {
        if (!identifies(lines, group, candidate.name))
            continue;
        for (const qsizetype i : group)
            lines[i].key = lines[i].head + findField(lines[i], candidate.name)->keyText;
        return;
    }
    int places[2] = {0, 0};
    for (const qsizetype i : group) {
        const int n = ++places[lines[i].sent];
        lines[i].key = n == 1 ? lines[i].head : QStringLiteral("%1 (%2)").arg(lines[i].head).arg(n);
    }
}

// Keys are chosen over both sides at once, so that a line and its
// counterpart get the same key even when only one side repeats a head, and
// a slot enabled on one side meets its disabling line on the other.
void nameKeys(QList<UploadLine> &lines)
{
    QHash<QString, QList<qsizetype>> byHead;
    QStringList order;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto &same = byHead[lines[i].head];
        if (same.isEmpty())
            order << lines[i].head;
        same << i;
    }
    for (const QString &head : order) {
        const QList<qsizetype> &same = byHead[head];
        const auto sent = std::count_if(same.cbegin(), same.cend(), [&](qsizetype i) { return lines[i].sent; });
        if (sent <= 1 && same.size() - sent <= 1) {
            for (const qsizetype i : same)
                lines[i].key = head;
        } else {
            nameRepeatedHead(lines, same);
        }
    }
}

void compareSection(const QString &section, const QStringList &sent, const QStringList &held,
                    QList<ConfigDifference> &out)
{
    using Side = ConfigDifference::Side;
    if (sent == held)
        return;
    QList<UploadLine> lines;
    for (const QString &line : sent)
        lines.append(splitLine(line, true));
    for (const QString &line : held)
        lines.append(splitLine(line, false));
    nameKeys(lines);

    const auto heldLines = lines.mid(sent.size());
    QHash<QString, qsizetype> heldByKey;
    for (qsizetype i = 0; i < heldLines.size(); ++i)
        heldByKey.insert(heldLines[i].key, i);
    QList<bool> matched(heldLines.size(), false);
    for (qsizetype i = 0; i < sent.size(); ++i) {
        const UploadLine &line = lines[i];
        const auto other = heldByKey.constFind(line.key);
        if (other == heldByKey.cend()) {
            out.append({section, section, line.key, line.text, {}, Side::LeftOnly});
            continue;
        }
        matched[*other] = true;
        if (heldLines[*other].text != line.text)
            out.append({section, section, line.key, line.text, heldLines[*other].text, Side::Both});
    }
    for (qsizetype i = 0; i < heldLines.size(); ++i) {
        if (!matched[i])
            out.append({section, section, heldLines[i].key, {}, heldLines[i].text, Side::RightOnly});
    }
}

} // namespace

QList<ConfigDifference> compareUploads(const ConfigStore &sent, const ConfigStore &held,
                                       const SectionRegistry &registry, const UploadContext &context)
{
    QList<ConfigDifference> out;
    for (const QString &name : SectionRegistry::uploadOrder()) {
        if (const SectionCore *core = registry.find(name))
            compareSection(name, core->uploadLines(sent, context), core->uploadLines(held, context), out);
    }
    return out;
}
