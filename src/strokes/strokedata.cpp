#include "strokes/strokedata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace Verarov::Strokes {

namespace {

constexpr char kMagic[8] = {'V', 'R', 'V', 'S', 'T', 'R', 'K', '1'};
constexpr quint32 kVersion = 1;
constexpr qint64 kHeaderSize = 32;
constexpr qint64 kIndexEntrySize = 16;
constexpr quint32 kMaxUnpacked = 65536;
constexpr double kGrid = 2.0;                 // outline unit, in the 1024 box
constexpr double kMedianScale = 1023.0 / 255; // median grid to the 1024 box

quint32 u32(const uchar *p)
{
    return qFromLittleEndian<quint32>(p);
}

// Reads a zigzag LEB128 varint; false past the end or beyond 32 bits.
bool readVarint(const uchar *&p, const uchar *end, qint32 *value)
{
    quint32 z = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (p == end)
            return false;
        const uchar b = *p++;
        z |= quint32(b & 0x7f) << shift;
        if (!(b & 0x80)) {
            *value = qint32(z >> 1) ^ -qint32(z & 1);
            return true;
        }
    }
    return false;
}

QString damaged()
{
    return u"Le fichier des tracés est endommagé"_s;
}

} // namespace

StrokeData::StrokeData() = default;
StrokeData::~StrokeData() = default;

QString StrokeData::defaultPath()
{
    const QString env = qEnvironmentVariable("VERAROV_STROKES");
    if (!env.isEmpty())
        return env;
    QStringList dirs;
    if (QCoreApplication::instance()) {
        const QString app = QCoreApplication::applicationDirPath();
        dirs << app << app + u"/../share/verarov"_s << app + u"/../../share/verarov"_s;
    }
    dirs << QStringLiteral(VERAROV_INSTALLED_DATA_DIR);
    for (const QString &dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        dirs << dir + u"/verarov"_s;
    for (const QString &dir : std::as_const(dirs)) {
        const QString path = QDir::cleanPath(dir + u"/strokes.bin"_s);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

bool StrokeData::open(const QString &path)
{
    m_file.reset();
    m_bytes.clear();
    m_count = 0;
    if (path.isEmpty()) {
        m_error = u"Les données des tracés sont introuvables"_s;
        return false;
    }
    auto file = std::make_unique<QFile>(path);
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
        m_error = u"Impossible d'ouvrir le fichier des tracés %1"_s.arg(
                QDir::toNativeSeparators(path));
        return false;
    }
    const qint64 size = file->size();
    const uchar *data = size >= kHeaderSize ? file->map(0, size) : nullptr;
    if (!data || !check(data, size)) {
        m_error = damaged() + u" : "_s + QDir::toNativeSeparators(path);
        return false;
    }
    m_file = std::move(file);
    return true;
}

bool StrokeData::openBytes(const QByteArray &bytes)
{
    m_file.reset();
    m_bytes = bytes;
    m_count = 0;
    if (!check(reinterpret_cast<const uchar *>(m_bytes.constData()), m_bytes.size())) {
        m_bytes.clear();
        m_error = damaged();
        return false;
    }
    return true;
}

bool StrokeData::check(const uchar *data, qint64 size)
{
    m_count = 0;
    if (size < kHeaderSize || memcmp(data, kMagic, sizeof kMagic) != 0 || u32(data + 8) != kVersion)
        return false;
    const quint32 count = u32(data + 12);
    const quint32 medianOffset = u32(data + 16), medianSize = u32(data + 20);
    const quint32 outlineOffset = u32(data + 24), outlineSize = u32(data + 28);
    if (count == 0 || count > 0x100000 || qint64(count) * kIndexEntrySize > size - kHeaderSize
        || medianOffset < kHeaderSize + qint64(count) * kIndexEntrySize
        || qint64(medianOffset) + medianSize > size || outlineOffset < kHeaderSize
        || qint64(outlineOffset) + outlineSize > size)
        return false;
    const uchar *index = data + kHeaderSize;
    const uchar *medians = data + medianOffset;
    quint32 previous = 0;
    for (quint32 i = 0; i < count; ++i) {
        const uchar *e = index + i * kIndexEntrySize;
        const quint32 cp = u32(e);
        if ((i > 0 && cp <= previous) || cp > 0x10FFFF)
            return false;
        previous = cp;
        // The median record, whole inside its section.
        const quint32 at = u32(e + 4);
        if (at >= medianSize || medianSize - at < 2)
            return false;
        const uchar *p = medians + at;
        const uchar *end = medians + medianSize;
        const int strokes = p[0];
        if (strokes == 0 || p[1] > 3)
            return false;
        p += 2;
        for (int s = 0; s < strokes; ++s) {
            if (p == end || *p < 2 || end - p - 1 < 2 * *p)
                return false;
            p += 1 + 2 * *p;
        }
        const quint32 outlineAt = u32(e + 8), outlineLength = u32(e + 12);
        if (outlineAt > outlineSize || outlineSize - outlineAt < outlineLength || outlineLength < 4)
            return false;
    }
    m_data = data;
    m_size = size;
    m_index = index;
    m_medians = medians;
    m_medianSize = medianSize;
    m_outlines = data + outlineOffset;
    m_outlineSize = outlineSize;
    m_count = int(count);
    return true;
}

int StrokeData::find(char32_t codePoint) const
{
    int lo = 0, hi = m_count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const quint32 cp = u32(m_index + mid * kIndexEntrySize);
        if (cp < codePoint)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < m_count && u32(m_index + lo * kIndexEntrySize) == codePoint ? lo : -1;
}

char32_t StrokeData::codePoint(int index) const
{
    return index >= 0 && index < m_count ? u32(m_index + index * kIndexEntrySize) : 0;
}

int StrokeData::level(int index) const
{
    return index >= 0 && index < m_count ? m_medians[u32(m_index + index * kIndexEntrySize + 4) + 1]
                                         : 0;
}

int StrokeData::strokeCount(int index) const
{
    return index >= 0 && index < m_count ? m_medians[u32(m_index + index * kIndexEntrySize + 4)]
                                         : 0;
}

QList<StrokeData::RawStroke> StrokeData::rawMedians(int index) const
{
    QList<RawStroke> out;
    if (index < 0 || index >= m_count)
        return out;
    const uchar *p = m_medians + u32(m_index + index * kIndexEntrySize + 4);
    const int strokes = p[0];
    out.reserve(strokes);
    p += 2;
    for (int s = 0; s < strokes; ++s) {
        out.append({p + 1, p[0]});
        p += 1 + 2 * p[0];
    }
    return out;
}

QList<QList<QPointF>> StrokeData::medians(int index) const
{
    QList<QList<QPointF>> out;
    for (const RawStroke &s : rawMedians(index)) {
        QList<QPointF> line;
        line.reserve(s.points);
        for (int i = 0; i < s.points; ++i)
            line.append(QPointF(s.xy[2 * i] * kMedianScale, s.xy[2 * i + 1] * kMedianScale));
        out.append(line);
    }
    return out;
}

bool StrokeData::character(int index, Character *out) const
{
    *out = Character();
    if (index < 0 || index >= m_count)
        return false;
    const uchar *e = m_index + index * kIndexEntrySize;
    const uchar *packed = m_outlines + u32(e + 8);
    const quint32 length = u32(e + 12);
    if (qFromBigEndian<quint32>(packed) > kMaxUnpacked)
        return false;
    const QByteArray record = qUncompress(packed, qsizetype(length));
    if (record.isEmpty())
        return false;
    const QList<QList<QPointF>> medians = this->medians(index);
    const uchar *p = reinterpret_cast<const uchar *>(record.constData());
    const uchar *end = p + record.size();
    Character c;
    c.codePoint = codePoint(index);
    c.level = level(index);
    for (const QList<QPointF> &median : medians) {
        if (end - p < 2)
            return false;
        const int commands = qFromLittleEndian<quint16>(p);
        p += 2;
        if (end - p < commands)
            return false;
        const uchar *ops = p;
        p += commands;
        Stroke stroke;
        stroke.median = median;
        stroke.outline.reserve(commands);
        qint64 x = 0, y = 0;
        for (int i = 0; i < commands; ++i) {
            static constexpr int kPoints[] = {1, 1, 2, 3, 0};
            if (ops[i] > PathCommand::Close)
                return false;
            PathCommand command;
            command.op = PathCommand::Op(ops[i]);
            for (int k = 0; k < kPoints[ops[i]]; ++k) {
                qint32 dx, dy;
                if (!readVarint(p, end, &dx) || !readVarint(p, end, &dy))
                    return false;
                x += dx;
                y += dy;
                if (qAbs(x) > 4096 || qAbs(y) > 4096)
                    return false;
                command.points[k] = QPointF(x * kGrid, y * kGrid);
            }
            stroke.outline.append(command);
        }
        c.strokes.append(stroke);
    }
    if (p != end)
        return false;
    *out = c;
    return true;
}

} // namespace Verarov::Strokes
