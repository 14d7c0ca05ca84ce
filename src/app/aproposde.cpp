#include "aproposde.h"

#include "application.h"

#include "desktop.h"
#include "errorbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

TForm2 *Form2 = nullptr;

namespace {

QFont pixelFont(int pixelHeight, bool bold = false, bool underline = false)
{
    return Verarov::App::namedFont(u"Tahoma"_s, pixelHeight, bold, underline);
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect place,
              const QFont &font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(place);
    l->setFont(font);
    l->setAlignment(alignment);
    return l;
}

// The program's picture: the character for "word" on a seal-red tile.
QPixmap programPicture()
{
    QPixmap pixmap(65, 65);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0xb2, 0x22, 0x22));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 63, 63), 10, 10);
    painter.setFont(Verarov::App::namedFont(u"SimSun"_s, 44));
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, u"词"_s);
    return pixmap;
}

} // namespace

TForm2::TForm2(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"A propos de..."_s);
    setFont(pixelFont(11));
    setFixedSize(243, 290);
    setModal(false);

    Image1 = label(this, u"Image1"_s, {}, {16, 8, 65, 65}, font());
    const Qt::Alignment centred = Qt::AlignCenter;
    label(this, u"Label1"_s, u"Verarov"_s, {87, 8, 130, 19}, pixelFont(16, true), centred);
    label(this, u"Label2"_s, u"dictionnaire"_s, {87, 29, 130, 19}, pixelFont(16, true), centred);
    label(this, u"Label3"_s, u"Version 2.0"_s, {87, 50, 130, 19}, pixelFont(16), centred);

    const QString site = Verarov::App::siteAddress();
    Label10 = label(this, u"Label10"_s,
                    u"<a href=\"%1\" style=\"color:#0000ff\">%1</a>"_s.arg(site.toHtmlEscaped()),
                    {8, 80, 227, 20}, pixelFont(11, true, true), centred);
    Label10->setTextFormat(Qt::RichText);
    Label10->setOpenExternalLinks(false);
    connect(Label10, &QLabel::linkActivated, this, &TForm2::Label10Click);

    auto *author = new QGroupBox(u"Auteur"_s, this);
    author->setObjectName(u"GroupBox2"_s);
    author->setGeometry(8, 175, 132, 108);
    const QString lines[] = {u"L'équipe Verarov"_s, u"Lyon, France"_s,
                             u"contact@verarov.example.org"_s, u"2026"_s};
    for (int i = 0; i < 4; ++i)
        label(author, u"Label%1"_s.arg(4 + i), lines[i], {8, 18 + 21 * i, 118, 18}, font());

    Button1 = new QPushButton(u"OK"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setGeometry(151, 180, 83, 103);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::showEvent(QShowEvent *event)
{
    // Drawn at first show: painting it needs the CJK font, which start-up
    // would otherwise load for a window it does not show.
    if (Image1->pixmap().isNull())
        Image1->setPixmap(programPicture());
    QDialog::showEvent(event);
}

void TForm2::Button1Click()
{
    close();
}

void TForm2::Label10Click()
{
    Verarov::App::guarded(this, [] {
        Verarov::App::desktop().openUrl(QUrl(Verarov::App::siteAddress()));
    });
}
