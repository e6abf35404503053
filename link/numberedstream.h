#pragma once

#include <QString>
#include <functional>

class Comms;

// Reads one pass of a numbered answer stream: the command ("#44", "#42") is
// answered by lines that start with the stream's code ("#BB", "#BD") and a
// sequence number of exactly three digits counting from 000, and the stream
// ends with the bare code. `onLine` gets each line in order and may refuse it.
// The pass succeeds when the end arrives after at least one line; a line out
// of sequence, a refused line, a lost or corrupt frame or silence fails it.
bool ReadNumberedStream(Comms &comms, const QString &command, const QString &code,
                        const std::function<bool(const QString &line, int number)> &onLine);

// Characters 4 to 6 of a stream line as its sequence number; -1 when they are
// not three digits.
int StreamLineNumber(const QString &line);
