// The main window's commands for learners: Prononcer (the shown entry
// spoken), Tracé (stroke order of the shown headword) and Écrire
// (handwriting into the Chinese lookup field).
#include "app/unit1.h"

#include "app/errorbox.h"
#include "app/simplecombobox.h"
#include "app/strokewindows.h"
#include "speech/speaker.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QThread>

using namespace Qt::StringLiterals;

namespace Verarov::App {

void TForm1::createStrokeMenu()
{
    Edition->addSeparator()->setObjectName(u"N_traits"_s);
    Prononcer = Edition->addAction(QString());
    Prononcer->setObjectName(u"Prononcer"_s);
    Prononcer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(Prononcer, &QAction::triggered, this, &TForm1::PrononcerClick);
    Trace = Edition->addAction(QString());
    Trace->setObjectName(u"Trace"_s);
    Trace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    Ecrire = Edition->addAction(QString());
    Ecrire->setObjectName(u"Ecrire"_s);
    Ecrire->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(Trace, &QAction::triggered, this, &TForm1::TraceClick);
    connect(Ecrire, &QAction::triggered, this, &TForm1::EcrireClick);
}

// The shown entry's own reading (银行 is yín háng), spoken by a thread of
// its own: the window never waits.  A failure (no voice, no sound device)
// is told when the thread ends; nothing else changes.  One at a time.
void TForm1::PrononcerClick()
{
    const QString reading = mot_pin->text();
    if (reading.trimmed().isEmpty() || m_speaking)
        return;
    QPointer<TForm1> self(this);
    m_speaking = QThread::create([self, reading] {
        const QString error = Verarov::Speech::play(reading);
        QMetaObject::invokeMethod(
                qApp,
                [self, error] {
                    if (self && !error.isEmpty())
                        Verarov::App::showError(self, error);
                },
                Qt::QueuedConnection);
    });
    m_speaking->setParent(this);
    connect(m_speaking, &QThread::finished, this, [this] {
        m_speaking->deleteLater();
        m_speaking = nullptr;
    });
    m_speaking->start();
}

void TForm1::TraceClick()
{
    if (!m_traceWindow) {
        m_traceWindow = new Verarov::App::StrokeOrderWindow(this);
        m_traceWindow->setLanguage(interfaceLanguage());
    }
    m_traceWindow->show();
    m_traceWindow->raise();
    m_traceWindow->setHeadword(mot_ch->text());
}

void TForm1::EcrireClick()
{
    if (!m_ecrireWindow) {
        m_ecrireWindow = new Verarov::App::HandwritingWindow(this);
        m_ecrireWindow->setLanguage(interfaceLanguage());
        connect(m_ecrireWindow, &Verarov::App::HandwritingWindow::characterPicked, this,
                &TForm1::ecrireCharacter);
    }
    m_ecrireWindow->show();
    m_ecrireWindow->raise();
}

// The character goes into the Chinese field as an input method commits a
// typed character: the field's completion runs as for typing.
void TForm1::ecrireCharacter(const QString &character)
{
    PageControl1->setCurrentWidget(TabSheet1);
    PageControl2->setCurrentWidget(TabSheet4);
    QInputMethodEvent commit;
    commit.setCommitString(character);
    QCoreApplication::sendEvent(liste_dico_ch->lineEdit(), &commit);
}

} // namespace Verarov::App
