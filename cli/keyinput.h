#pragma once

#include <QString>

// Where the access key comes from: "--key VALUE" as given, "--key -" the
// first line of standard input (not echoed when it is a terminal),
// "--key-file FILE" the first line of FILE. The key is never printed.
struct KeyInput {
    QString key;
    QString error; // why no key could be read; empty when it was
};

KeyInput readAccessKey(const QString &keyOption, const QString &keyFile);
