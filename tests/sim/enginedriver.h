#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "link/framecodec.h"
#include "sim/unitengine.h"

// Reads the engine's replies the way the tool reads the line: bytes before a
// "#" are skipped, a CR ends a frame, and a frame that does not verify reads
// as "<bad>".
inline QStringList answersIn(const QList<SimReply> &replies)
{
    QByteArray all;
    for (const SimReply &reply : replies)
        all += reply.bytes;
    QStringList answers;
    for (QByteArray piece : all.split('\r')) {
        const qsizetype hash = piece.indexOf('#');
        if (hash < 0)
            continue;
        piece = piece.mid(hash);
        answers << (FrameCodec::verify(piece) ? FrameCodec::answerText(piece) : QStringLiteral("<bad>"));
    }
    return answers;
}
