// The Tracé and Écrire windows, alone and from the main window.
#include "app/errorbox.h"
#include "app/simplecombobox.h"
#include "app/strokewindows.h"
#include "app/unit1.h"
#include "dictionary/loader.h"

#include <QAction>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using Verarov::App::HandwritingWindow;
using Verarov::App::StrokeOrderWindow;

namespace {

// A stroke dragged with the mouse through the points, in the area's pixels.
void drag(QWidget *area, const QList<QPoint> &points)
{
    QTest::mousePress(area, Qt::LeftButton, {}, points.first());
    for (const QPoint &p : points.mid(1))
        QTest::mouseMove(area, p);
    QTest::mouseRelease(area, Qt::LeftButton, {}, points.last());
}

// 十: across, then down.
void drawShi(QWidget *area)
{
    const int w = area->width(), h = area->height();
    drag(area, {{w / 5, h / 2}, {w / 2, h / 2 - 2}, {4 * w / 5, h / 2 - 4}});
    drag(area, {{w / 2, h / 6}, {w / 2 + 1, h / 2}, {w / 2, 5 * h / 6}});
}

} // namespace

class tst_StrokeWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void ecrire_twoMouseStrokes_findShi();
    void ecrire_pickedCharacter_typedIntoChineseField();
    void trace_followsShownEntry();
    void trace_stepAndPlay();
    void captions_data();
    void captions();
    void prononcer_data();
    void prononcer();

private:
    Verarov::Dictionary::Tables m_tables;
    TForm1 *m_form = nullptr;
    QStringList m_errors; // messages of the error box
};

void tst_StrokeWindows::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    const auto loaded = Verarov::Dictionary::loadExternal(VERAROV_TEST_DATA "/strokes.tsv"_L1);
    QVERIFY2(loaded.failure.isEmpty(), qPrintable(loaded.failure));
    m_tables = loaded.tables;
    Verarov::App::setErrorSink(
            [this](QWidget *, const QString &message) { m_errors.append(message); });
}

void tst_StrokeWindows::init()
{
    m_form = new TForm1(m_tables);
    Form1 = m_form;
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_StrokeWindows::cleanup()
{
    delete m_form;
    Form1 = nullptr;
    QCoreApplication::processEvents();
    QCOMPARE(m_errors, QStringList());
    m_errors.clear();
}

void tst_StrokeWindows::ecrire_twoMouseStrokes_findShi()
{
    HandwritingWindow pad;
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    QVERIFY(pad.candidates().isEmpty());
    drawShi(pad.area());
    QCOMPARE(pad.area()->strokes().size(), 2);
    QCOMPARE(pad.candidates().size(), 10);
    QVERIFY2(pad.candidates().contains(u"十"_s), qPrintable(pad.candidates().join(u' ')));
    // Backspace takes the last stroke back: one horizontal stroke is 一.
    QTest::keyClick(&pad, Qt::Key_Backspace);
    QCOMPARE(pad.area()->strokes().size(), 1);
    QCOMPARE(pad.candidates().value(0), u"一"_s);
    pad.findChild<QPushButton *>(u"tout_effacer"_s)->click();
    QVERIFY(pad.candidates().isEmpty());
}

void tst_StrokeWindows::ecrire_pickedCharacter_typedIntoChineseField()
{
    m_form->findChild<QAction *>(u"Ecrire"_s)->trigger();
    auto *pad = m_form->findChild<HandwritingWindow *>(u"Ecrire"_s);
    QVERIFY(pad && pad->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(pad));
    drawShi(pad->area());
    const int at = int(pad->candidates().indexOf(u"十"_s));
    QVERIFY(at >= 0);
    pad->findChild<QToolButton *>(u"candidat%1"_s.arg(at + 1))->click();
    // Completed as typing 十 completes: the first headword that begins
    // with it, its completed part selected, the entry shown.
    auto *field = m_form->findChild<SimpleComboBox *>(u"liste_dico_ch"_s);
    QCOMPARE(field->lineEdit()->text(), u"十"_s);
    QCOMPARE(m_form->findChild<QLabel *>(u"mot_ch"_s)->text(), u"十"_s);
    QCOMPARE(m_form->findChild<QLabel *>(u"mot_pin"_s)->text(), u"shí"_s);
    QVERIFY(pad->area()->strokes().isEmpty());
}

void tst_StrokeWindows::trace_followsShownEntry()
{
    m_form->affiche_mot(u"你好", u"nǐ hǎo", u"bonjour");
    m_form->findChild<QAction *>(u"Trace"_s)->trigger();
    auto *trace = m_form->findChild<StrokeOrderWindow *>(u"Trace"_s);
    QVERIFY(trace && trace->isVisible());
    QCOMPARE(trace->views().size(), 2);
    QCOMPARE(trace->totalStrokes(), 7 + 6);
    auto *message = trace->findChild<QLabel *>(u"message"_s);
    QVERIFY(message->isHidden());
    // A later entry replaces it; characters without data are named.
    m_form->affiche_mot(u"Ａ股", u"A gǔ", u"actions A");
    QCOMPARE(trace->headword(), u"Ａ股"_s);
    QCOMPARE(trace->views().size(), 1);
    QCOMPARE(message->text(), u"Pas de tracé pour : Ａ"_s);
    // Closed, it follows nothing; opened again, the entry shown then.
    trace->close();
    m_form->affiche_mot(u"十", u"shí", u"dix");
    QCOMPARE(trace->headword(), u"Ａ股"_s);
    m_form->findChild<QAction *>(u"Trace"_s)->trigger();
    QCOMPARE(trace->headword(), u"十"_s);
}

void tst_StrokeWindows::trace_stepAndPlay()
{
    StrokeOrderWindow trace;
    trace.setHeadword(u"十分"_s);
    trace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&trace));
    trace.pause();
    trace.findChild<QPushButton *>(u"recommencer"_s)->click();
    trace.pause();
    QCOMPARE(trace.progress(), 0.0);
    auto *step = trace.findChild<QPushButton *>(u"pas"_s);
    step->click();
    QCOMPARE(trace.views()[0]->progress(), 1.0);
    step->click();
    QCOMPARE(trace.views()[0]->progress(), 2.0);
    // Over to the second character's first stroke.
    step->click();
    QCOMPARE(trace.views()[1]->progress(), 1.0);
    // Playing at the highest speed ends with every stroke written.
    trace.findChild<QSlider *>(u"vitesse"_s)->setValue(8);
    trace.play();
    QTRY_COMPARE_WITH_TIMEOUT(trace.views()[1]->progress(), 4.0, 10000);
    QCOMPARE(trace.views()[0]->progress(), 2.0);
    QVERIFY(!trace.findChild<QPushButton *>(u"lecture"_s)->isChecked());
}

void tst_StrokeWindows::captions_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control"); // the window's name: its title
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("chinese");
    const char16_t *table[][4] = {
            {u"Trace", u"Trace", u"Tracé", u"笔顺"},
            {u"Trace", u"lecture", u"Lecture", u"播放"},
            {u"Trace", u"pas", u"Trait suivant", u"下一笔"},
            {u"Trace", u"recommencer", u"Recommencer", u"重新开始"},
            {u"Trace", u"libelle_vitesse", u"Vitesse", u"速度"},
            {u"Trace", u"vitesse", u"Vitesse", u"速度"}, // its tooltip
            {u"Trace", u"message", u"Pas de tracé pour : Ａ", u"没有笔顺数据：Ａ"},
            {u"Ecrire", u"Ecrire", u"Écrire", u"手写"},
            {u"Ecrire", u"dernier_trait", u"Effacer le dernier trait", u"删除最后一笔"},
            {u"Ecrire", u"tout_effacer", u"Tout effacer", u"全部清除"},
    };
    for (const auto &row : table)
        QTest::addRow("%s %s", qPrintable(QString::fromUtf16(row[0])),
                      qPrintable(QString::fromUtf16(row[1])))
                << QString::fromUtf16(row[0]) << QString::fromUtf16(row[1])
                << QString::fromUtf16(row[2]) << QString::fromUtf16(row[3]);
}

// Opened with the interface in Chinese, a window is captioned in Chinese at
// once; then it follows each language command.
void tst_StrokeWindows::captions()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, french);
    QFETCH(QString, chinese);
    m_form->affiche_mot(u"Ａ股", u"A gǔ", u"actions A");
    m_form->langue_chClick();
    m_form->findChild<QAction *>(window)->trigger();
    auto *w = m_form->findChild<QWidget *>(window, Qt::FindDirectChildrenOnly);
    QVERIFY(w && w->isWindow());
    const auto text = [&] {
        if (control == window)
            return w->windowTitle();
        QWidget *c = w->findChild<QWidget *>(control);
        if (auto *button = qobject_cast<QAbstractButton *>(c))
            return button->text();
        if (auto *label = qobject_cast<QLabel *>(c))
            return label->text();
        return c ? c->toolTip() : QString();
    };
    QCOMPARE(text(), chinese);
    m_form->langue_frClick();
    QCOMPARE(text(), french);
    m_form->langue_chClick();
    QCOMPARE(text(), chinese);
}

void tst_StrokeWindows::prononcer_data()
{
    QTest::addColumn<QByteArray>("device"); // ALSA's default sound device
    QTest::addColumn<QString>("message");   // the message shown; empty: none
    QTest::addRow("no sound device")
            << QByteArray("type hw card 99") << u"Impossible de prononcer : Aucune sortie son"_s;
    // CTest runs this one alone (tst_strokewindows_sound).
    QTest::addRow("null sound device") << QByteArray("type null") << QString();
}

// Speaking runs in a thread of its own: the window does not wait, and
// nothing changes but a French message when it cannot be heard.  The
// device is ALSA's default as set here (PulseAudio kept out); the library
// opens it for the first word a process speaks, so one row a process.
void tst_StrokeWindows::prononcer()
{
    QFETCH(QByteArray, device);
    QFETCH(QString, message);
    static bool spoken = false;
    if (spoken)
        QSKIP("the sound device is opened once a process: run this row alone");
    const QString alsa = u"/usr/share/alsa/alsa.conf"_s;
    if (!QFileInfo::exists(alsa))
        QSKIP("no ALSA configuration");
    spoken = true;
    QTemporaryDir dir;
    const QString config = dir.filePath(u"asound.conf"_s);
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("pcm.!default { " + device + " }\n");
    file.close();
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(alsa + u':' + config));
    qputenv("PULSE_SERVER", QFile::encodeName(u"unix:"_s + dir.filePath(u"none"_s)));

    m_form->affiche_mot(u"十分", u"shí fēn", u"très");
    m_form->findChild<QAction *>(u"Prononcer"_s)->trigger();
    QCOMPARE(m_form->findChild<QLabel *>(u"mot_ch"_s)->text(), u"十分"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->findChild<QThread *>(), 20000);
    QCoreApplication::processEvents(); // the message, queued by the thread
    const QStringList errors = std::exchange(m_errors, {});
    if (errors.size() == 1 && errors[0].contains(u"Aucune voix"_s))
        QSKIP("libespeak-ng or its Chinese voice is not installed");
    if (message.isEmpty()) {
        QCOMPARE(errors, QStringList());
    } else {
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(message), qPrintable(errors[0]));
    }
    QCOMPARE(m_form->findChild<QLabel *>(u"mot_pin"_s)->text(), u"shí fēn"_s);
}

QTEST_MAIN(tst_StrokeWindows)
#include "tst_strokewindows.moc"
