#pragma once

#include "settings/store.h"
#include "strokes/strokedata.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class QHBoxLayout;

namespace Verarov::Strokes {
class Recogniser;
}

namespace Verarov::App {

// The stroke data of the program, opened once on first use; the recogniser
// built on it likewise.  When the file is missing or damaged, data() is
// null and error() says why.
class StrokeResources final
{
public:
    static StrokeResources &instance();
    const Strokes::StrokeData *data();
    const Strokes::Recogniser *recogniser();
    QString error();

private:
    StrokeResources();
    ~StrokeResources();
    void load();
    bool m_loaded = false;
    std::unique_ptr<Strokes::StrokeData> m_data;
    std::unique_ptr<Strokes::Recogniser> m_recogniser;
    QString m_error;
};

// One character drawn in its 1024-unit box: the strokes done in black with
// their numbers, the stroke being written revealed along its median line,
// the strokes to come in light grey.
class StrokeCharacterView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StrokeCharacterView)
public:
    StrokeCharacterView(const Strokes::Character &character, QWidget *parent = nullptr);
    int strokeCount() const { return int(m_character.strokes.size()); }
    // Strokes written so far: 2.5 is two strokes and half of the third.
    void setProgress(double strokes);
    double progress() const { return m_progress; }
    QSize sizeHint() const override { return {220, 220}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Strokes::Character m_character;
    double m_progress = 0;
};

// Tracé: the characters of the shown headword, their strokes numbered in
// writing order and animated (play, pause, step, speed).
class StrokeOrderWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StrokeOrderWindow)
public:
    explicit StrokeOrderWindow(QWidget *parent = nullptr);
    void setHeadword(const QString &headword);
    QString headword() const { return m_headword; }
    QList<StrokeCharacterView *> views() const { return m_views; }
    // Written strokes of the whole headword; the animation's position.
    double progress() const { return m_progress; }
    int totalStrokes() const;
    // Captions and messages in the interface language (French at first).
    void setLanguage(Settings::Language language);

public slots:
    void play();
    void pause();
    void step();

private:
    void tick();
    void setProgress(double strokes);
    void showMessage();

    Settings::Language m_language = Settings::Language::French;
    QString m_headword;
    QStringList m_missing; // characters of the headword without stroke data
    QList<StrokeCharacterView *> m_views;
    QHBoxLayout *m_row = nullptr;
    QLabel *m_message = nullptr;
    QPushButton *m_play = nullptr;
    QSlider *m_speed = nullptr;
    QLabel *m_speedLabel = nullptr;
    QTimer *m_timer = nullptr;
    double m_progress = 0;
    qint64 m_lastTick = 0;
};

// The drawing area of Écrire: strokes drawn with mouse, pen or finger (the
// toolkit turns the last two into mouse events when nothing takes them).
class DrawingArea final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DrawingArea)
public:
    explicit DrawingArea(QWidget *parent = nullptr);
    QList<QList<QPointF>> strokes() const { return m_strokes; }
    void removeLastStroke();
    void clear();
    QSize sizeHint() const override { return {300, 300}; }

signals:
    void strokesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QList<QList<QPointF>> m_strokes;
    bool m_drawing = false;
};

// Écrire: a drawing area and the ten characters that the strokes drawn so
// far may be, best first; picking one hands it on (characterPicked).
class HandwritingWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HandwritingWindow)
public:
    explicit HandwritingWindow(QWidget *parent = nullptr);
    QStringList candidates() const;
    DrawingArea *area() const { return m_area; }
    // Captions and messages in the interface language (French at first).
    void setLanguage(Settings::Language language);

signals:
    void characterPicked(const QString &character);

private:
    void recognise();

    Settings::Language m_language = Settings::Language::French;
    DrawingArea *m_area = nullptr;
    QList<QToolButton *> m_candidates;
    QLabel *m_message = nullptr;
};

} // namespace Verarov::App
