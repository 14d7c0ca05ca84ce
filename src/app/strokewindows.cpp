#include "app/strokewindows.h"

#include "app/captions.h"
#include "app/definitions.h"
#include "strokes/recogniser.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace Verarov::App {

namespace {

constexpr double kBox = 1024;
constexpr double kStrokeSeconds = 0.8; // one stroke at speed 1
constexpr double kPauseStrokes = 0.4;  // between characters, in strokes

QPainterPath outlinePath(const Strokes::Stroke &stroke)
{
    QPainterPath path;
    for (const Strokes::PathCommand &c : stroke.outline) {
        switch (c.op) {
        case Strokes::PathCommand::Move:
            path.moveTo(c.points[0]);
            break;
        case Strokes::PathCommand::Line:
            path.lineTo(c.points[0]);
            break;
        case Strokes::PathCommand::Quad:
            path.quadTo(c.points[0], c.points[1]);
            break;
        case Strokes::PathCommand::Cubic:
            path.cubicTo(c.points[0], c.points[1], c.points[2]);
            break;
        case Strokes::PathCommand::Close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

// The first `fraction` of a median line, as a wide brush stroke: the part
// of the outline it covers is the part already written.
QPainterPath revealed(const QList<QPointF> &median, double fraction)
{
    double length = 0;
    for (qsizetype i = 1; i < median.size(); ++i)
        length += QLineF(median[i - 1], median[i]).length();
    double left = length * fraction;
    QPainterPath line(median.value(0));
    for (qsizetype i = 1; i < median.size() && left > 0; ++i) {
        const QLineF segment(median[i - 1], median[i]);
        const double l = segment.length();
        line.lineTo(l <= left ? median[i] : segment.pointAt(left / l));
        left -= l;
    }
    QPainterPathStroker stroker;
    stroker.setWidth(160);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

} // namespace

// --- StrokeResources --------------------------------------------------------

StrokeResources::StrokeResources() = default;
StrokeResources::~StrokeResources() = default;

StrokeResources &StrokeResources::instance()
{
    static StrokeResources resources;
    return resources;
}

void StrokeResources::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    auto data = std::make_unique<Strokes::StrokeData>();
    if (!data->open(Strokes::StrokeData::defaultPath())) {
        m_error = data->errorString();
        return;
    }
    m_data = std::move(data);
}

const Strokes::StrokeData *StrokeResources::data()
{
    load();
    return m_data.get();
}

const Strokes::Recogniser *StrokeResources::recogniser()
{
    load();
    if (m_data && !m_recogniser)
        m_recogniser = std::make_unique<Strokes::Recogniser>(*m_data);
    return m_recogniser.get();
}

QString StrokeResources::error()
{
    load();
    return m_error;
}

// --- StrokeCharacterView ----------------------------------------------------

StrokeCharacterView::StrokeCharacterView(const Strokes::Character &character, QWidget *parent)
    : QWidget(parent), m_character(character)
{
    setMinimumSize(120, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void StrokeCharacterView::setProgress(double strokes)
{
    strokes = qBound(0.0, strokes, double(strokeCount()));
    if (strokes == m_progress)
        return;
    m_progress = strokes;
    update();
}

void StrokeCharacterView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = qMin(width(), height());
    p.translate((width() - side) / 2, (height() - side) / 2);
    p.fillRect(QRectF(0, 0, side, side), Qt::white);
    p.scale(side / kBox, side / kBox);

    // The writing grid: the box, its middle lines and diagonals, dashed.
    QPen grid(QColor(220, 180, 180), 0, Qt::DashLine);
    p.setPen(grid);
    p.drawLine(QPointF(0, kBox / 2), QPointF(kBox, kBox / 2));
    p.drawLine(QPointF(kBox / 2, 0), QPointF(kBox / 2, kBox));
    p.drawLine(QPointF(0, 0), QPointF(kBox, kBox));
    p.drawLine(QPointF(kBox, 0), QPointF(0, kBox));
    p.setPen(QPen(QColor(200, 120, 120), 0));
    p.drawRect(QRectF(0, 0, kBox, kBox));

    p.setPen(Qt::NoPen);
    const int done = int(std::floor(m_progress));
    for (int s = 0; s < strokeCount(); ++s) {
        const QPainterPath outline = outlinePath(m_character.strokes[s]);
        if (s < done) {
            p.fillPath(outline, QColor(30, 30, 30));
        } else {
            p.fillPath(outline, QColor(215, 215, 215));
            if (s == done && m_progress > done)
                p.fillPath(outline.intersected(
                                   revealed(m_character.strokes[s].median, m_progress - done)),
                           QColor(200, 30, 30));
        }
    }
    // Numbers at the start of each stroke written or being written.
    QFont font = p.font();
    font.setPixelSize(70);
    p.setFont(font);
    for (int s = 0; s < strokeCount() && s < m_progress; ++s) {
        const QPointF start = m_character.strokes[s].median.value(0);
        const QRectF box(start.x() - 45, start.y() - 45, 90, 90);
        p.setBrush(QColor(255, 255, 255, 210));
        p.setPen(QPen(QColor(200, 30, 30), 0));
        p.drawEllipse(box);
        p.drawText(box, Qt::AlignCenter, QString::number(s + 1));
        p.setPen(Qt::NoPen);
    }
}

// --- StrokeOrderWindow ------------------------------------------------------

StrokeOrderWindow::StrokeOrderWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"Trace"_s);
    auto *layout = new QVBoxLayout(this);
    m_row = new QHBoxLayout;
    layout->addLayout(m_row, 1);
    m_message = new QLabel(this);
    m_message->setObjectName(u"message"_s);
    m_message->setWordWrap(true);
    layout->addWidget(m_message);

    auto *controls = new QHBoxLayout;
    m_play = new QPushButton(this);
    m_play->setObjectName(u"lecture"_s);
    m_play->setCheckable(true);
    auto *stepButton = new QPushButton(this);
    stepButton->setObjectName(u"pas"_s);
    auto *restart = new QPushButton(this);
    restart->setObjectName(u"recommencer"_s);
    m_speed = new QSlider(Qt::Horizontal, this);
    m_speed->setObjectName(u"vitesse"_s);
    m_speed->setRange(1, 8); // quarter speeds: 0.25x to 2x
    m_speed->setValue(4);
    m_speedLabel = new QLabel(this);
    m_speedLabel->setObjectName(u"libelle_vitesse"_s);
    m_speedLabel->setBuddy(m_speed);
    controls->addWidget(m_play);
    controls->addWidget(stepButton);
    controls->addWidget(restart);
    controls->addWidget(m_speedLabel);
    controls->addWidget(m_speed);
    layout->addLayout(controls);

    m_timer = new QTimer(this);
    m_timer->setInterval(30);
    connect(m_timer, &QTimer::timeout, this, &StrokeOrderWindow::tick);
    connect(m_play, &QPushButton::toggled, this, [this](bool on) { on ? play() : pause(); });
    connect(stepButton, &QPushButton::clicked, this, &StrokeOrderWindow::step);
    connect(restart, &QPushButton::clicked, this, [this] {
        setProgress(0);
        play();
    });
    resize(560, 340);
    setLanguage(Settings::Language::French);
}

void StrokeOrderWindow::setLanguage(Settings::Language language)
{
    m_language = language;
    applySpecs(this, strokeOrderWindowTexts(language));
    m_speed->setToolTip(m_speedLabel->text());
    showMessage();
}

void StrokeOrderWindow::showMessage()
{
    QString message;
    if (!StrokeResources::instance().data())
        message = strokeDataMessage(m_language).arg(StrokeResources::instance().error());
    else if (!m_missing.isEmpty())
        message = noStrokesMessage(m_language).arg(m_missing.join(u' '));
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
}

int StrokeOrderWindow::totalStrokes() const
{
    int n = 0;
    for (const StrokeCharacterView *v : m_views)
        n += v->strokeCount();
    return n;
}

void StrokeOrderWindow::setHeadword(const QString &headword)
{
    if (headword == m_headword)
        return;
    m_headword = headword;
    qDeleteAll(m_views);
    m_views.clear();
    const Strokes::StrokeData *data = StrokeResources::instance().data();
    QStringList &missing = m_missing;
    missing.clear();
    for (const char32_t c : headword.toUcs4()) {
        const QString text = QString::fromUcs4(&c, 1);
        Strokes::Character character;
        const int index = data ? data->find(c) : -1;
        if (index >= 0 && data->character(index, &character)) {
            auto *view = new StrokeCharacterView(character, this);
            view->setObjectName(text);
            m_row->addWidget(view);
            m_views.append(view);
        } else if (!QChar::isSpace(c)) {
            missing.append(text);
        }
    }
    showMessage();
    m_progress = -1;
    setProgress(0);
    if (!m_views.isEmpty())
        play();
    else
        pause();
}

void StrokeOrderWindow::setProgress(double strokes)
{
    strokes = qBound(0.0, strokes, double(totalStrokes()) + kPauseStrokes * m_views.size());
    m_progress = strokes;
    // Each character takes its strokes and a short pause.
    double left = strokes;
    for (StrokeCharacterView *v : std::as_const(m_views)) {
        v->setProgress(left);
        left -= v->strokeCount() + kPauseStrokes;
    }
}

void StrokeOrderWindow::play()
{
    if (m_views.isEmpty())
        return;
    if (m_progress >= totalStrokes() + kPauseStrokes * (m_views.size() - 1))
        setProgress(0);
    m_lastTick = QDateTime::currentMSecsSinceEpoch();
    m_timer->start();
    m_play->setChecked(true);
}

void StrokeOrderWindow::pause()
{
    m_timer->stop();
    m_play->setChecked(false);
}

void StrokeOrderWindow::step()
{
    pause();
    // To the end of the stroke being written, or the whole next one; over
    // the pause between characters.
    double left = m_progress;
    double base = 0;
    for (StrokeCharacterView *v : std::as_const(m_views)) {
        if (left < v->strokeCount()) {
            setProgress(base + std::max(0.0, std::floor(left)) + 1);
            return;
        }
        left -= v->strokeCount() + kPauseStrokes;
        base += v->strokeCount() + kPauseStrokes;
    }
    setProgress(0);
    setProgress(qMin(1.0, double(totalStrokes())));
}

void StrokeOrderWindow::tick()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const double seconds = (now - m_lastTick) / 1000.0;
    m_lastTick = now;
    setProgress(m_progress + seconds * (m_speed->value() / 4.0) / kStrokeSeconds);
    if (m_progress >= totalStrokes() + kPauseStrokes * (m_views.size() - 1))
        pause();
}

// --- DrawingArea ------------------------------------------------------------

DrawingArea::DrawingArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"zone"_s);
    setMinimumSize(200, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::CrossCursor);
}

void DrawingArea::removeLastStroke()
{
    if (m_strokes.isEmpty())
        return;
    m_strokes.removeLast();
    m_drawing = false;
    update();
    emit strokesChanged();
}

void DrawingArea::clear()
{
    m_strokes.clear();
    m_drawing = false;
    update();
    emit strokesChanged();
}

void DrawingArea::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    p.setPen(QPen(QColor(220, 180, 180), 1, Qt::DashLine));
    p.drawLine(QPointF(0, height() / 2.0), QPointF(width(), height() / 2.0));
    p.drawLine(QPointF(width() / 2.0, 0), QPointF(width() / 2.0, height()));
    p.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QList<QPointF> &stroke : std::as_const(m_strokes)) {
        if (stroke.size() == 1)
            p.drawPoint(stroke.first());
        else
            p.drawPolyline(stroke.constData(), int(stroke.size()));
    }
}

void DrawingArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drawing = true;
    m_strokes.append({event->position()});
    update();
}

void DrawingArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_drawing || m_strokes.isEmpty())
        return;
    m_strokes.last().append(event->position());
    update();
}

void DrawingArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_drawing || event->button() != Qt::LeftButton)
        return;
    m_drawing = false;
    if (m_strokes.last().last() != event->position())
        m_strokes.last().append(event->position());
    update();
    emit strokesChanged();
}

// --- HandwritingWindow ------------------------------------------------------

HandwritingWindow::HandwritingWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"Ecrire"_s);
    auto *layout = new QVBoxLayout(this);
    m_area = new DrawingArea(this);
    layout->addWidget(m_area, 1);
    m_message = new QLabel(this);
    m_message->setObjectName(u"message"_s);
    m_message->setWordWrap(true);
    layout->addWidget(m_message);

    auto *candidates = new QHBoxLayout;
    for (int i = 0; i < 10; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(u"candidat%1"_s.arg(i + 1));
        QFont font = button->font();
        font.setPixelSize(28);
        button->setFont(font);
        button->setMinimumSize(44, 44);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, [this, button] {
            if (!button->text().isEmpty()) {
                emit characterPicked(button->text());
                m_area->clear();
            }
        });
        candidates->addWidget(button);
        m_candidates.append(button);
    }
    layout->addLayout(candidates);

    auto *buttons = new QHBoxLayout;
    auto *undo = new QPushButton(this);
    undo->setObjectName(u"dernier_trait"_s);
    auto *clear = new QPushButton(this);
    clear->setObjectName(u"tout_effacer"_s);
    buttons->addWidget(undo);
    buttons->addWidget(clear);
    buttons->addStretch();
    layout->addLayout(buttons);
    auto *backspace = new QShortcut(QKeySequence(Qt::Key_Backspace), this);
    connect(backspace, &QShortcut::activated, m_area, &DrawingArea::removeLastStroke);
    connect(undo, &QPushButton::clicked, m_area, &DrawingArea::removeLastStroke);
    connect(clear, &QPushButton::clicked, m_area, &DrawingArea::clear);
    connect(m_area, &DrawingArea::strokesChanged, this, &HandwritingWindow::recognise);
    resize(480, 460);
    setLanguage(Settings::Language::French);
}

void HandwritingWindow::setLanguage(Settings::Language language)
{
    m_language = language;
    applySpecs(this, handwritingWindowTexts(language));
    recognise();
}

QStringList HandwritingWindow::candidates() const
{
    QStringList out;
    for (const QToolButton *b : m_candidates)
        if (!b->text().isEmpty())
            out.append(b->text());
    return out;
}

void HandwritingWindow::recognise()
{
    const Strokes::Recogniser *recogniser = StrokeResources::instance().recogniser();
    m_message->setText(
            recogniser ? QString()
                       : strokeDataMessage(m_language).arg(StrokeResources::instance().error()));
    m_message->setVisible(!recogniser);
    QList<Strokes::Recogniser::Candidate> found;
    if (recogniser && !m_area->strokes().isEmpty())
        found = recogniser->recognise(m_area->strokes(), int(m_candidates.size()));
    for (qsizetype i = 0; i < m_candidates.size(); ++i) {
        const QString text =
                i < found.size() ? QString::fromUcs4(&found[i].codePoint, 1) : QString();
        m_candidates[i]->setText(text);
        m_candidates[i]->setEnabled(!text.isEmpty());
    }
}

} // namespace Verarov::App
