#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>

#include <memory>

class QFile;

namespace Verarov::Strokes {

// A stroke of a character, in a 1024-unit box, y downward: its outline (the
// filled shape, as path commands) and its median line (the way the pen goes).
struct PathCommand
{
    enum Op : quint8 { Move, Line, Quad, Cubic, Close };
    Op op = Move;
    QPointF points[3]; // 1 for Move and Line, 2 for Quad, 3 for Cubic
};

struct Stroke
{
    QList<PathCommand> outline;
    QList<QPointF> median;
};

struct Character
{
    char32_t codePoint = 0;
    int level = 0;         // in the Table of General Standard Chinese Characters: 1-3, 0 outside
    QList<Stroke> strokes; // in writing order
};

// The stroke data file (data/strokes.bin, made by tools/strokes/strokes.py),
// mapped read-only.  Everything in it is checked before use: the header, the
// index and every median record when the file is opened, an outline record
// when it is unpacked; a file that fails is refused with a French message.
class StrokeData final
{
public:
    StrokeData();
    ~StrokeData();
    Q_DISABLE_COPY_MOVE(StrokeData)

    // The file found at run time: $VERAROV_STROKES, else strokes.bin beside
    // the program, in ../share/verarov or ../../share/verarov from it (the
    // build tree), then in the installed data folder.  Empty when none is.
    static QString defaultPath();

    // Opens and checks a file; false with errorString() on failure.
    bool open(const QString &path);
    // Reads from bytes kept by the caller (tests and fuzzing).
    bool openBytes(const QByteArray &bytes);
    QString errorString() const { return m_error; }

    int count() const { return m_count; }
    // Index of a character, or -1.
    int find(char32_t codePoint) const;
    char32_t codePoint(int index) const;
    int level(int index) const;
    int strokeCount(int index) const;

    // Median lines only, in the 1024 box (quantised to its 256 grid).
    QList<QList<QPointF>> medians(int index) const;
    // Medians in the 0-255 grid as stored (x, y byte pairs in the mapped
    // file): the recogniser's fast path.
    struct RawStroke
    {
        const quint8 *xy;
        int points;
    };
    QList<RawStroke> rawMedians(int index) const;

    // Outlines and medians; false when the outline record is damaged.
    bool character(int index, Character *out) const;

private:
    bool check(const uchar *data, qint64 size);

    std::unique_ptr<QFile> m_file;
    QByteArray m_bytes;
    const uchar *m_data = nullptr;
    qint64 m_size = 0;
    int m_count = 0;
    const uchar *m_index = nullptr;
    const uchar *m_medians = nullptr;
    quint32 m_medianSize = 0;
    const uchar *m_outlines = nullptr;
    quint32 m_outlineSize = 0;
    QString m_error;
};

} // namespace Verarov::Strokes
