// The main window's stroke commands: Tracé (stroke order of the shown
// headword) and Écrire (handwriting into the Chinese lookup field).
#include "app/unit1.h"

#include "app/simplecombobox.h"
#include "app/strokewindows.h"

#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace Qt::StringLiterals;

void TForm1::createStrokeMenu()
{
    Edition->addSeparator()->setObjectName(u"N_traits"_s);
    Trace = Edition->addAction(QString());
    Trace->setObjectName(u"Trace"_s);
    Trace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    Ecrire = Edition->addAction(QString());
    Ecrire->setObjectName(u"Ecrire"_s);
    Ecrire->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(Trace, &QAction::triggered, this, &TForm1::TraceClick);
    connect(Ecrire, &QAction::triggered, this, &TForm1::EcrireClick);
}

void TForm1::TraceClick()
{
    if (!m_traceWindow)
        m_traceWindow = new Verarov::App::StrokeOrderWindow(this);
    m_traceWindow->show();
    m_traceWindow->raise();
    m_traceWindow->setHeadword(mot_ch->text());
}

void TForm1::EcrireClick()
{
    if (!m_ecrireWindow) {
        m_ecrireWindow = new Verarov::App::HandwritingWindow(this);
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
