#pragma once

// Test helper: what is wrong with a WAV file of spoken words, if anything.

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Empty when bytes are a 16-bit PCM mono RIFF/WAVE file whose sizes agree,
// lasting between minSeconds and maxSeconds, and not silence (a twentieth
// of a second of samples above 1000 at least); else what is wrong.
inline QString wavProblem(const QByteArray &b, double minSeconds, double maxSeconds)
{
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt ")
        return QStringLiteral("not a RIFF/WAVE file (%1 bytes)").arg(b.size());
    if (qFromLittleEndian<quint32>(b.constData() + 4) != quint32(b.size() - 8))
        return QStringLiteral("RIFF size does not match the file");
    const quint32 rate = qFromLittleEndian<quint32>(b.constData() + 24);
    const quint32 bytes = qFromLittleEndian<quint32>(b.constData() + 40);
    if (qsizetype(bytes) != b.size() - 44 || rate == 0)
        return QStringLiteral("data size or rate wrong");
    const double seconds = bytes / 2.0 / rate;
    if (seconds <= minSeconds || seconds >= maxSeconds)
        return QStringLiteral("lasts %1 s").arg(seconds);
    int loud = 0;
    for (qsizetype i = 44; i + 1 < b.size(); i += 2)
        loud += qAbs(qFromLittleEndian<qint16>(b.constData() + i)) > 1000;
    if (loud <= int(rate / 20))
        return QStringLiteral("nearly silent: %1 loud samples").arg(loud);
    return {};
}
