#pragma once

#include <QChar>
#include <QString>
#include <algorithm>

// What may follow "ATD" in a dial command: digits, "+", "*", "#", the pause
// "," and the modifiers "p" and "w". Anything else could end the command
// early or add one (a CR, an "AT&F" after it), so nothing else is dialled.
inline bool isDialable(const QString &number)
{
    static const QString kExtra = QStringLiteral("+*#,pPwW");
    return !number.isEmpty() && std::all_of(number.cbegin(), number.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || kExtra.contains(c);
    });
}

inline bool isControlCharacter(QChar c)
{
    return c.category() == QChar::Other_Control;
}

inline bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), isControlCharacter);
}

// "CR", "LF", "TAB", or the code point ("U+001B"), for a fault's text.
inline QString controlCharacterName(QChar c)
{
    switch (c.unicode()) {
    case u'\r':
        return QStringLiteral("CR");
    case u'\n':
        return QStringLiteral("LF");
    case u'\t':
        return QStringLiteral("TAB");
    default:
        return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
}
