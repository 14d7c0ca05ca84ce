#include "app/recherche.h"

#include "app/controlcolours.h"
#include "app/definitions.h"
#include "app/errorbox.h"
#include "app/simplecombobox.h"
#include "app/unit1.h"
#include "app/waitcursor.h"
#include "lookup/keylistmodel.h"
#include "lookup/shownentry.h"
#include "search/resultmodel.h"
#include "search/searchlog.h"
#include "search/substring.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>

#include <algorithm>

using namespace Qt::StringLiterals;
using Verarov::App::FontSpec;
using Verarov::App::guarded;
using Verarov::Dictionary::List;
using Verarov::Search::lcSearch;

namespace Verarov::App {

TForm3 *Form3 = nullptr;

namespace {

// Every search window, oldest first.
QList<TForm3 *> &searchWindows()
{
    static QList<TForm3 *> windows;
    return windows;
}

// The font of the search string and of the results in each mode.
FontSpec modeFont(int mode)
{
    using Verarov::App::pointsToPixels;
    switch (mode) {
    case 2:
        return {u"Arial"_s, pointsToPixels(10), FontSpec::Style::Keep, false};
    case 3:
        return {u"Tahoma"_s, pointsToPixels(10), FontSpec::Style::Keep, false};
    default:
        return {u"SimSun"_s, pointsToPixels(14), FontSpec::Style::Keep, false};
    }
}

// The style of the group boxes: their frame line stays above the controls
// placed in them.  A style lays the line out by the height of the title
// font's line, and a CJK face's line is much taller than its characters:
// under a Chinese title the line would come down across the controls' top
// edges.  It goes up instead, into the room the face leaves empty below its
// characters; nothing moves where the line is already clear.
class GroupBoxFrameStyle final : public QProxyStyle
{
public:
    static QStyle *instance()
    {
        static QPointer<GroupBoxFrameStyle> style;
        if (!style) {
            style = new GroupBoxFrameStyle;
            style->setParent(qApp);
        }
        return style;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
        if (element != PE_FrameGroupBox || !frame || !widget)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        // The highest control inside, the line one clear row above it.
        int top = widget->height();
        for (const QWidget *control : widget->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            top = std::min(top, control->geometry().top());
        const int excess = frameLine(*frame, widget) - (top - 2);
        if (excess <= 0)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        QStyleOptionFrame raised = *frame;
        raised.rect.setTop(raised.rect.top() - excess);
        QProxyStyle::drawPrimitive(element, &raised, painter, widget);
    }

private:
    // The row the base style draws the frame's top line at, found by
    // drawing it: styles place it differently.
    int frameLine(const QStyleOptionFrame &frame, const QWidget *widget) const
    {
        QStyleOptionFrame probe = frame;
        probe.rect = QRect(0, 0, 48, frame.rect.height());
        QImage image(probe.rect.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            QProxyStyle::drawPrimitive(PE_FrameGroupBox, &probe, &painter, widget);
        }
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(24, y)) > 0)
                return frame.rect.top() + y;
        }
        return frame.rect.top();
    }
};

} // namespace

TForm3::TForm3(TForm1 *main)
    : QDialog(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                               | Qt::WindowMinMaxButtonsHint),
      m_main(main), result_index(new Verarov::Search::ResultModel(this)),
      m_completion(*result_index)
{
    setObjectName(u"Form3"_s);
    setModal(false);
    setFont(Verarov::App::namedFont(u"Tahoma"_s, 11));
    setFixedSize(Verarov::App::kSearchClientSize);
    createControls();
    Verarov::App::applySpecs(this, Verarov::App::searchWindowDefinition());
    // The designed position.
    move(0, 0);
    searchWindows().append(this);
    FormCreate();
}

TForm3::~TForm3()
{
    searchWindows().removeOne(this);
    if (Form3 == this)
        Form3 = nullptr;
}

QList<TForm3 *> TForm3::all()
{
    return searchWindows();
}

void TForm3::destroyAll()
{
    while (!searchWindows().isEmpty())
        delete searchWindows().takeLast();
}

void TForm3::createControls()
{
    box_recherche = new QGroupBox(this);
    box_recherche->setObjectName(u"box_recherche"_s);
    box_recherche->setStyle(GroupBoxFrameStyle::instance());
    recherche = new QLineEdit(box_recherche);
    recherche->setObjectName(u"recherche"_s);

    auto modeButton = [this](const QString &name, void (TForm3::*handler)()) {
        auto *button = new QRadioButton(box_recherche);
        button->setObjectName(name);
        // Only a button that becomes selected runs its handler.
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
        return button;
    };
    choix1 = modeButton(u"choix1"_s, &TForm3::choix1Click);
    choix2 = modeButton(u"choix2"_s, &TForm3::choix2Click);
    choix3 = modeButton(u"choix3"_s, &TForm3::choix3Click);
    {
        // Selected at creation without running its handler.
        const QSignalBlocker quiet(choix1);
        choix1->setChecked(true);
    }

    Button_rech = new QPushButton(this);
    Button_rech->setObjectName(u"Button_rech"_s);
    Button_rech->setDefault(true);
    connect(Button_rech, &QPushButton::clicked, this, &TForm3::Button_rechClick);
    Button_ok = new QPushButton(this);
    Button_ok->setObjectName(u"Button_ok"_s);
    connect(Button_ok, &QPushButton::clicked, this, &TForm3::Button_okClick);

    box_result = new QGroupBox(this);
    box_result->setObjectName(u"box_result"_s);
    box_result->setStyle(GroupBoxFrameStyle::instance());
    result_recherche = new SimpleComboBox(box_result);
    result_recherche->setObjectName(u"result_recherche"_s);
    result_recherche->setModel(result_index, &m_completion);
    connect(result_recherche, &SimpleComboBox::changed, this, &TForm3::result_rechercheChange);

    // The search string first; the results last.
    setTabOrder(recherche, choix1);
    setTabOrder(choix1, choix2);
    setTabOrder(choix2, choix3);
    setTabOrder(choix3, Button_rech);
    setTabOrder(Button_rech, Button_ok);
    setTabOrder(Button_ok, result_recherche);
    recherche->setFocus();
}

void TForm3::FormCreate()
{
    guarded(this, [&] {
        if (!m_main)
            return;
        // The main window's text-field colour, as it is now.
        if (const auto colour = m_main->textFieldColour()) {
            for (QWidget *field :
                 {static_cast<QWidget *>(recherche), static_cast<QWidget *>(result_recherche)})
                Verarov::App::setControlColour(field, Verarov::App::ColourPart::Background,
                                               *colour);
        }
        // Captions and fonts of the interface language ticked now.
        Verarov::App::applySpecs(this,
                                 Verarov::App::searchWindowTexts(m_main->interfaceLanguage()));
    });
}

List TForm3::modeList() const
{
    if (choix2->isChecked())
        return List::PinyinKeys;
    if (choix3->isChecked())
        return List::FrenchKeys;
    return List::Headwords;
}

int TForm3::mode() const
{
    switch (modeList()) {
    case List::PinyinKeys:
        return 2;
    case List::FrenchKeys:
        return 3;
    default:
        return 1;
    }
}

void TForm3::choix1Click()
{
    modeClick(1);
}

void TForm3::choix2Click()
{
    modeClick(2);
}

void TForm3::choix3Click()
{
    modeClick(3);
}

// A new mode: no search string, no results, the mode's font.
void TForm3::modeClick(int mode)
{
    guarded(this, [&] {
        recherche->clear();
        m_completion.setField(nullptr);
        result_index->clear();
        result_recherche->setText({});
        for (QWidget *field :
             {static_cast<QWidget *>(recherche), static_cast<QWidget *>(result_recherche)})
            field->setFont(Verarov::App::fontOf(modeFont(mode), field->font()));
    });
}

void TForm3::Button_rechClick()
{
    guarded(this, [&] {
        const QString s = recherche->text();
        if (s.isEmpty() || !m_main)
            return;
        const Verarov::App::WaitCursor wait;
        // The key list of the dictionary in use now.
        const Verarov::Lookup::KeyListModel &field = m_main->fieldModel(modeList());
        Verarov::Search::Found found = Verarov::Search::findContaining(field.keys(), s);
        const int count = found.rows.count();
        if (found.failure.isEmpty()) {
            result_index->setResults(field.keys(), std::move(found.rows));
            m_completion.setField(&field);
        } else {
            result_index->clear();
            m_completion.setField(nullptr);
        }
        result_recherche->setText({});
        qCDebug(lcSearch).noquote().nospace()
                << "recherche\t" << mode() << '\t' << s << '\t' << count;
        if (!found.failure.isEmpty())
            throw Verarov::App::Error(found.failure);
    });
}

void TForm3::result_rechercheChange()
{
    const int j = result_recherche->currentRow();
    if (j < 0 || j >= result_index->count() || !m_main)
        return;
    guarded(this, [&] {
        // The lookup field gets the text as the program sets it: no
        // completion, no change event, no change of page.
        m_main->setFieldText(result_index->keys().list(), result_recherche->text());
        m_main->showEntry(
                Verarov::Lookup::rowToShow(result_index->keys(), result_index->keyRow(j)));
    });
}

void TForm3::Button_okClick()
{
    // This window, whichever is the newest.
    hide();
}

void TForm3::reject()
{
    Button_ok->click();
}

} // namespace Verarov::App
