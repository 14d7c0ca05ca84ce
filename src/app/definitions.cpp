#include "app/definitions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTranslator>

namespace Verarov::App {

using namespace Qt::StringLiterals;
using Style = FontSpec::Style;

namespace {

ControlSpec control(const QString &name, QRect place, std::optional<FontSpec> font = {},
                    std::optional<QString> caption = {})
{
    return {name, place, std::move(font), std::move(caption)};
}

FontSpec px(const QString &family, int pixels, Style style = Style::Regular, bool underline = false)
{
    return {family, pixels, style, underline};
}

} // namespace

QList<ControlSpec> mainWindowDefinition()
{
    // PageControl1's font is the French interface's (Settings).
    return {
            control(u"PageControl1"_s, {8, 8, 201, 329}),
            control(u"PageControl2"_s, {3, 10, 187, 288}),
            control(u"liste_dico_ch"_s, {4, 5, 169, 257}, px(u"SimSun"_s, 16)),
            control(u"ListBox"_s, {4, 4, 172, 149}, px(u"SimSun"_s, 16)),
            control(u"liste_car_ch"_s, {3, 159, 46, 95}, px(u"SimSun"_s, 21)),
            control(u"liste_mots_ch"_s, {54, 159, 122, 95}, px(u"SimSun"_s, 16)),
            control(u"liste_pin_ss_accent"_s, {11, 12, 169, 277}, px(u"Tahoma"_s, 11)),
            control(u"liste_fr"_s, {11, 12, 169, 277}, px(u"Tahoma"_s, 11)),
            control(u"mot_ch"_s, {215, 28, 305, 55}, px(u"SimSun"_s, 40)),
            control(u"mot_pin"_s, {215, 89, 305, 40}, px(u"Arial"_s, 17, Style::Bold)),
            control(u"Panel1"_s, {215, 135, 305, 202}, px(u"Arial"_s, 17, Style::Bold)),
            control(u"mot_fr"_s, {2, 2, 301, 198}, px(u"Tahoma"_s, 15, Style::Bold)),
            // Invisible, beyond the right edge of the client area.
            control(u"Quitter"_s, {kMainClientSize.width() + 8, 8, 75, 25}),
    };
}

QList<ControlSpec> aboutBoxDefinition()
{
    const FontSpec title = px(u"Tahoma"_s, 16, Style::Bold);
    return {
            {u"Form2"_s, std::nullopt, std::nullopt, u"A propos de..."_s},
            control(u"Image1"_s, {16, 8, 65, 65}),
            control(u"Label1"_s, {87, 8, 130, 19}, title, u"Verarov"_s),
            control(u"Label2"_s, {87, 29, 130, 19}, title, u"dictionnaire"_s),
            control(u"Label3"_s, {87, 50, 130, 19}, px(u"Tahoma"_s, 16), u"Version 2.0"_s),
            control(u"Label10"_s, {8, 80, 227, 20}, px(u"Tahoma"_s, 11, Style::Bold, true)),
            control(u"GroupBox2"_s, {8, 175, 132, 108}, std::nullopt, u"Auteur"_s),
            control(u"Label4"_s, {6, 18, 120, 18}, std::nullopt, u"L'équipe Verarov"_s),
            control(u"Label5"_s, {6, 39, 120, 18}, std::nullopt, u"Lyon, France"_s),
            control(u"Label6"_s, {6, 60, 120, 18}, std::nullopt, u"ecrire@verarov.org"_s),
            control(u"Label7"_s, {6, 81, 120, 18}, std::nullopt, u"2026"_s),
            control(u"Button1"_s, {151, 180, 83, 103}, std::nullopt, u"OK"_s),
    };
}

QList<ControlSpec> searchWindowDefinition()
{
    // Captions and fonts of the group boxes, mode buttons and buttons are
    // the interface language's (Settings); "Fermer" is replaced at creation.
    const FontSpec box = px(u"Tahoma"_s, 11, Style::Bold);
    return {
            {u"Form3"_s, std::nullopt, std::nullopt, u"Rechercher"_s},
            control(u"box_recherche"_s, {8, 8, 226, 142}, box),
            control(u"recherche"_s, {16, 24, 193, 27}, px(u"SimSun"_s, 19)),
            control(u"choix1"_s, {64, 60, 113, 17}),
            control(u"choix2"_s, {64, 83, 113, 17}),
            control(u"choix3"_s, {64, 106, 113, 17}),
            control(u"Button_rech"_s, {137, 158, 97, 32}),
            control(u"Button_ok"_s, {240, 158, 89, 32}, std::nullopt, u"Fermer"_s),
            control(u"box_result"_s, {240, 8, 226, 142}, box),
            control(u"result_recherche"_s, {17, 24, 193, 113}, px(u"SimSun"_s, 19)),
    };
}

QString fontFamily(const QString &wanted)
{
    static QHash<QString, QString> resolved;
    const auto known = resolved.constFind(wanted);
    if (known != resolved.cend())
        return *known;
    static const QHash<QString, QStringList> substitutes = {
            {u"SimSun"_s,
             {
#ifdef Q_OS_WIN
                     // A Windows without the Chinese fonts feature.
                     u"NSimSun"_s, u"Microsoft YaHei"_s, u"SimHei"_s,
#endif
                     u"Noto Serif CJK SC"_s, u"Noto Sans CJK SC"_s, u"AR PL UMing CN"_s,
                     u"WenQuanYi Zen Hei"_s}},
            // Narrow faces before DejaVu Sans: the fixed places (tab captions,
            // lookup fields) are sized for Tahoma's widths.
            {u"Tahoma"_s,
             {
#ifdef Q_OS_WIN
                     u"Segoe UI"_s,
#endif
                     u"Liberation Sans"_s, u"Nimbus Sans"_s, u"DejaVu Sans"_s, u"Noto Sans"_s}},
            {u"Arial"_s, {u"Liberation Sans"_s, u"Arimo"_s, u"Nimbus Sans"_s, u"DejaVu Sans"_s}},
    };
    // The installed families, listed once (hasFamily() would ask the font
    // matcher to resolve aliases on each call).
    static const QStringList installed = [] {
        QStringList families = QFontDatabase::families();
        for (QString &f : families) // "Nimbus Sans [UKWN]" -> "Nimbus Sans"
            f = f.section(u" ["_s, 0, 0);
        return families;
    }();
    QString family = wanted;
    if (!installed.contains(wanted, Qt::CaseInsensitive)) {
        for (const QString &candidate : substitutes.value(wanted)) {
            if (installed.contains(candidate, Qt::CaseInsensitive)) {
                family = candidate;
                break;
            }
        }
    }
    resolved.insert(wanted, family);
    return family;
}

QFont namedFont(const QString &family, int pixelHeight, bool bold, bool underline)
{
    QFont font(fontFamily(family));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

QFont fontOf(const FontSpec &font, const QFont &current)
{
    const bool bold = font.style == Style::Keep ? current.bold() : font.style == Style::Bold;
    return namedFont(font.family, font.pixelHeight, bold, font.underline);
}

bool useToolkitLanguage(Settings::Language language)
{
    static QTranslator *inUse = nullptr;
    static Settings::Language inUseFor = Settings::Language::French;
    if (inUse && inUseFor == language)
        return true;
    auto *translator = new QTranslator;
    const QString name =
            language == Settings::Language::Chinese ? u"qtbase_zh_CN"_s : u"qtbase_fr"_s;
    // Qt's own folder, else a "translations" folder beside the program (a
    // Windows installation).
    const bool loaded =
            translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
            || translator->load(
                    name, QDir(QCoreApplication::applicationDirPath()).filePath(u"translations"_s));
    if (inUse) {
        QCoreApplication::removeTranslator(inUse);
        delete inUse;
        inUse = nullptr;
    }
    if (!loaded) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    inUse = translator;
    inUseFor = language;
    return true;
}

namespace {

// The actions and widgets below a window by name, each name to the one
// QObject::findChild() finds first (the children of an object before
// their own children): one walk of the window instead of one per name.
struct NamedChildren
{
    QHash<QString, QAction *> actions;
    QHash<QString, QWidget *> widgets;
    QList<QTabWidget *> tabControls;

    explicit NamedChildren(const QObject *window) { add(window); }

private:
    void add(const QObject *parent)
    {
        const QObjectList &children = parent->children();
        for (QObject *child : children) {
            const QString name = child->objectName();
            if (auto *action = qobject_cast<QAction *>(child)) {
                if (!name.isEmpty() && !actions.contains(name))
                    actions.insert(name, action);
            } else if (child->isWidgetType()) {
                auto *widget = static_cast<QWidget *>(child);
                if (!name.isEmpty() && !widgets.contains(name))
                    widgets.insert(name, widget);
            }
        }
        for (QObject *child : children) {
            // findChildren() order: an object, then its own children.
            if (auto *tabs = qobject_cast<QTabWidget *>(child))
                tabControls.append(tabs);
            add(child);
        }
    }
};

} // namespace

void applySpecs(QWidget *window, const QList<ControlSpec> &specs)
{
    const NamedChildren named(window);
    const QList<QTabWidget *> &tabControls = named.tabControls;
    for (const ControlSpec &entry : specs) {
        if (entry.control == window->objectName()) {
            if (entry.caption)
                window->setWindowTitle(*entry.caption);
            continue;
        }
        if (QAction *action = named.actions.value(entry.control)) {
            if (entry.caption)
                action->setText(*entry.caption);
            continue;
        }
        QWidget *widget = named.widgets.value(entry.control);
        Q_ASSERT_X(widget, "applySpecs", qPrintable(entry.control));
        if (!widget)
            continue;
        if (entry.place)
            widget->setGeometry(*entry.place);
        if (entry.font) {
            // A tab control's font is that of its tab captions; its pages
            // keep theirs.
            auto *tabs = qobject_cast<QTabWidget *>(widget);
            QWidget *target = tabs ? static_cast<QWidget *>(tabs->tabBar()) : widget;
            target->setFont(fontOf(*entry.font, target->font()));
        }
        if (!entry.caption)
            continue;
        const QString &text = *entry.caption;
        if (auto *menu = qobject_cast<QMenu *>(widget)) {
            menu->setTitle(text);
        } else if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            box->setTitle(text);
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            button->setText(text);
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            label->setText(text);
        } else {
            // A page: the caption is its tab's.
            for (QTabWidget *tabs : tabControls) {
                const int index = tabs->indexOf(widget);
                if (index >= 0)
                    tabs->setTabText(index, text);
            }
        }
    }
}

} // namespace Verarov::App
