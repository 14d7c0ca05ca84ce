#include "app/captions.h"

namespace Verarov::App {

using namespace Qt::StringLiterals;

namespace {

using Settings::Language;
using Style = FontSpec::Style;

ControlSpec caption(const QString &control, const QString &text)
{
    return {control, std::nullopt, std::nullopt, text};
}

ControlSpec font(const QString &control, const QString &family, int points, Style style)
{
    return {control, std::nullopt, FontSpec{family, pointsToPixels(points), style, false},
            std::nullopt};
}

ControlSpec captionAndFont(const QString &control, const QString &text, const QString &family,
                           int points, Style style)
{
    ControlSpec entry = font(control, family, points, style);
    entry.caption = text;
    return entry;
}

// Control, French, Chinese.
struct CaptionRow
{
    const char16_t *control;
    const char16_t *french;
    const char16_t *chinese;
};

template<std::size_t N>
QList<ControlSpec> captions(const CaptionRow (&rows)[N], Language language)
{
    QList<ControlSpec> specs;
    for (const CaptionRow &row : rows)
        specs.append(caption(
                QString::fromUtf16(row.control),
                QString::fromUtf16(language == Language::Chinese ? row.chinese : row.french)));
    return specs;
}

} // namespace

QList<ControlSpec> mainWindowTexts(Language language)
{
    // Control, French, Chinese; in the order the language commands apply them.
    struct Row
    {
        const char16_t *control;
        const char16_t *french;
        const char16_t *chinese;
    };
    static const Row tabs1[] = {
            {u"TabSheet1", u"Chinois", u"中文"},
            {u"TabSheet2", u"Pinyin", u"拼音"},
            {u"TabSheet3", u"Français", u"法语"},
    };
    static const Row rest[] = {
            {u"TabSheet4", u"liste", u"词汇"},
            {u"TabSheet5", u"radical", u"偏旁"},
            {u"Edition", u"&Edition", u"编辑"},
            {u"Copier", u"&Copier", u"复制"},
            {u"Effacer", u"E&ffacer", u"勾销"},
            {u"Rechercher", u"Rec&hercher", u"查找"},
            {u"Traduire", u"&Traduire...", u"细节翻译..."},
            {u"Prononcer", u"Pro&noncer", u"发音"},
            {u"Trace", u"Tr&acé...", u"笔顺..."},
            {u"Ecrire", u"Écri&re...", u"手写..."},
            {u"Quitter1", u"&Quitter", u"退出"},
            {u"Options", u"&Options", u"选择"},
            {u"Langue", u"&Langue", u"语言"},
            {u"Couleur", u"&Couleurs", u"颜色"},
            {u"texte", u"Fond texte", u"字母背景"},
            {u"traduction_ch", u"Traduction - chinois", u"翻译 - 中文"},
            {u"traduction_pin", u"Traduction - pinyin", u"翻译 - 拼音"},
            {u"traduction_fr", u"Traduction - français", u"翻译 - 法语"},
            {u"Initialisation", u"&Initialiser", u"还原"},
            {u"Aide", u"&Aide", u"帮助"},
            {u"Apropos", u"A &propos de...", u"关于..."},
    };
    const bool french = language == Language::French;
    auto add = [&](QList<ControlSpec> &specs, const Row &row) {
        specs.append(caption(QString::fromUtf16(row.control),
                             QString::fromUtf16(french ? row.french : row.chinese)));
    };

    QList<ControlSpec> specs;
    // PageControl2 has no font of its own in the definition: it shows the
    // page's regular weight, which the Chinese font keeps.
    specs.append(french ? font(u"PageControl1"_s, u"Tahoma"_s, 8, Style::Bold)
                        : font(u"PageControl1"_s, u"SimSun"_s, 10, Style::Regular));
    for (const Row &row : tabs1)
        add(specs, row);
    specs.append(french ? font(u"PageControl2"_s, u"Tahoma"_s, 8, Style::Keep)
                        : font(u"PageControl2"_s, u"SimSun"_s, 9, Style::Keep));
    for (const Row &row : rest)
        add(specs, row);
    return specs;
}

QList<ControlSpec> searchWindowTexts(Language language)
{
    // Control, French caption and font, Chinese caption and font.  The
    // group boxes and mode buttons keep their designed bold weight; the
    // buttons are regular in French, bold in Chinese.
    struct Text
    {
        const char16_t *caption;
        const char16_t *family;
        int points;
        Style style;
    };
    struct Row
    {
        const char16_t *control;
        Text french;
        Text chinese;
    };
    static const Row rows[] = {
            {u"box_recherche",
             {u"Rechercher", u"Arial", 10, Style::Keep},
             {u"搜寻", u"SimSun", 12, Style::Keep}},
            {u"box_result",
             {u"Résultats", u"Arial", 10, Style::Keep},
             {u"结果", u"SimSun", 12, Style::Keep}},
            {u"choix1",
             {u"Chinois", u"Arial", 10, Style::Keep},
             {u"中文", u"SimSun", 12, Style::Keep}},
            {u"choix2",
             {u"Pinyin", u"Arial", 10, Style::Keep},
             {u"拼音", u"SimSun", 12, Style::Keep}},
            {u"choix3",
             {u"Français", u"Arial", 10, Style::Keep},
             {u"法语", u"SimSun", 12, Style::Keep}},
            {u"Button_rech",
             {u"Rechercher", u"Tahoma", 10, Style::Regular},
             {u"找", u"SimSun", 12, Style::Bold}},
            {u"Button_ok",
             {u"OK", u"Tahoma", 10, Style::Regular},
             {u"同意", u"SimSun", 12, Style::Bold}},
    };
    QList<ControlSpec> specs;
    for (const Row &row : rows) {
        const Text &text = language == Language::Chinese ? row.chinese : row.french;
        specs.append(captionAndFont(QString::fromUtf16(row.control),
                                    QString::fromUtf16(text.caption),
                                    QString::fromUtf16(text.family), text.points, text.style));
    }
    return specs;
}

QList<ControlSpec> strokeOrderWindowTexts(Language language)
{
    static const CaptionRow rows[] = {
            {u"Trace", u"Tracé", u"笔顺"},
            {u"lecture", u"Lecture", u"播放"},
            {u"pas", u"Trait suivant", u"下一笔"},
            {u"recommencer", u"Recommencer", u"重新开始"},
            {u"libelle_vitesse", u"Vitesse", u"速度"},
    };
    return captions(rows, language);
}

QList<ControlSpec> handwritingWindowTexts(Language language)
{
    static const CaptionRow rows[] = {
            {u"Ecrire", u"Écrire", u"手写"},
            {u"dernier_trait", u"Effacer le dernier trait", u"删除最后一笔"},
            {u"tout_effacer", u"Tout effacer", u"全部清除"},
    };
    return captions(rows, language);
}

QString noStrokesMessage(Language language)
{
    return language == Language::Chinese ? u"没有笔顺数据：%1"_s : u"Pas de tracé pour : %1"_s;
}

QString strokeDataMessage(Language language)
{
    return language == Language::Chinese ? u"笔顺数据无法使用：%1"_s : u"%1"_s;
}

} // namespace Verarov::App
