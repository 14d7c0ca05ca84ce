#include "app/aproposde.h"

#include "app/application.h"
#include "app/definitions.h"
#include "app/desktop.h"
#include "app/errorbox.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace Verarov::App {

TForm2 *Form2 = nullptr;

namespace {

QLabel *label(QWidget *parent, const QString &name,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setAlignment(alignment);
    return l;
}

// The program's picture: its icon, the character for "word" on a seal-red
// tile.
QPixmap programPicture()
{
    return Verarov::App::programIcon().pixmap(QSize(65, 65));
}

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form2"_s);
    setFont(Verarov::App::namedFont(u"Tahoma"_s, 11));
    setFixedSize(Verarov::App::kAboutClientSize);
    setModal(false);

    Image1 = label(this, u"Image1"_s);
    for (const QString &name : {u"Label1"_s, u"Label2"_s, u"Label3"_s})
        label(this, name, Qt::AlignCenter);

    // The whole label is the link to the site.
    Label10 = label(this, u"Label10"_s, Qt::AlignCenter);
    Label10->setText(Verarov::App::siteAddress());
    QPalette blue = Label10->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label10->setPalette(blue);
    Label10->setCursor(Qt::PointingHandCursor);
    Label10->installEventFilter(this);

    auto *author = new QGroupBox(this);
    author->setObjectName(u"GroupBox2"_s);
    for (int i = 4; i <= 7; ++i)
        label(author, u"Label%1"_s.arg(i));

    Button1 = new QPushButton(this);
    Button1->setObjectName(u"Button1"_s);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    Verarov::App::applySpecs(this, Verarov::App::aboutBoxDefinition());
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::setVisible(bool visible)
{
    // Shown again where it was left, not centred anew.
    if (visible && m_shownBefore && !isVisible())
        move(m_lastPosition);
    QDialog::setVisible(visible);
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label10 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && Label10->rect().contains(mouse->position().toPoint())) {
            Label10Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::showEvent(QShowEvent *event)
{
    // Made at first show: start-up need not decode it for a window it does
    // not show.
    if (Image1->pixmap().isNull())
        Image1->setPixmap(programPicture());
    QDialog::showEvent(event);
}

void TForm2::hideEvent(QHideEvent *event)
{
    m_shownBefore = true;
    m_lastPosition = pos();
    QDialog::hideEvent(event);
}

void TForm2::Button1Click()
{
    close();
}

void TForm2::Label10Click()
{
    Verarov::App::guarded(
            this, [] { Verarov::App::desktop().openUrl(QUrl(Verarov::App::siteAddress())); });
}

} // namespace Verarov::App
