#include "speech/speaker.h"

#include "speech/tonenumbers.h"

#include <QCryptographicHash>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>
#include <QtEndian>

#ifdef VERAROV_HAVE_ESPEAK_NG
#include <espeak-ng/speak_lib.h>
#endif

using namespace Qt::StringLiterals;

namespace Verarov::Speech {

namespace {

#ifdef VERAROV_HAVE_ESPEAK_NG
QMutex &engineMutex()
{
    static QMutex mutex;
    return mutex;
}
#endif

QString noVoice()
{
#ifdef Q_OS_WIN
    return u"Aucune voix chinoise n'est installée (eSpeak NG n'est pas livré pour Windows)"_s;
#else
    return u"Aucune voix chinoise n'est installée (paquet espeak-ng-data)"_s;
#endif
}

#ifdef VERAROV_HAVE_ESPEAK_NG
QString noSoundOutput()
{
    return u"Aucune sortie son n'est disponible"_s;
}

// libespeak-ng is loaded on first use, not linked: it brings about twenty
// sound libraries that every start of the program would otherwise load.
struct Engine
{
    decltype(&espeak_Initialize) initialize = nullptr;
    decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
    decltype(&espeak_SetVoiceByName) setVoiceByName = nullptr;
    decltype(&espeak_Synth) synth = nullptr;
    decltype(&espeak_Synchronize) synchronize = nullptr;

    bool loaded() const
    {
        return initialize && setSynthCallback && setVoiceByName && synth && synchronize;
    }
};

const Engine &engine()
{
    static const Engine loaded = [] {
        Engine e;
        QLibrary library(u"espeak-ng"_s, 1);
        if (!library.load()) {
            library.setFileNameAndVersion(u"espeak-ng"_s, QString());
            if (!library.load())
                return e;
        }
        e.initialize = reinterpret_cast<decltype(e.initialize)>(library.resolve("espeak_Initialize"));
        e.setSynthCallback = reinterpret_cast<decltype(e.setSynthCallback)>(
                library.resolve("espeak_SetSynthCallback"));
        e.setVoiceByName = reinterpret_cast<decltype(e.setVoiceByName)>(
                library.resolve("espeak_SetVoiceByName"));
        e.synth = reinterpret_cast<decltype(e.synth)>(library.resolve("espeak_Synth"));
        e.synchronize =
                reinterpret_cast<decltype(e.synchronize)>(library.resolve("espeak_Synchronize"));
        return e;
    }();
    return loaded;
}

enum class Mode { None, Render, Play };
Mode g_mode = Mode::None;
int g_rate = 0;
QVector<qint16> *g_sink = nullptr;

int collect(short *wav, int count, espeak_EVENT *)
{
    if (wav && g_sink)
        g_sink->append(QVector<qint16>(wav, wav + count));
    return 0;
}

// Starts the engine in a mode, once for the process; the French reason
// when it cannot be.
QString start(Mode mode)
{
    if (g_mode == mode)
        return {};
    if (g_mode != Mode::None)
        return u"La synthèse vocale est déjà utilisée autrement dans ce programme"_s;
    if (!engine().loaded())
        return noVoice();
    // Without DONT_EXIT, the library ends the whole process when its data
    // is missing or damaged.
    g_rate = engine().initialize(mode == Mode::Render ? AUDIO_OUTPUT_SYNCHRONOUS
                                                    : AUDIO_OUTPUT_SYNCH_PLAYBACK,
                               0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (g_rate <= 0)
        return noVoice();
    engine().setSynthCallback(collect);
    g_mode = mode;
    return {};
}

QString speak(const QString &textOrPinyin)
{
    const bool characters = hasChineseCharacter(textOrPinyin);
    if (engine().setVoiceByName(characters ? "cmn" : "cmn-latn-pinyin") != EE_OK)
        return noVoice();
    const QByteArray text = speechText(textOrPinyin).toUtf8();
    if (engine().synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, nullptr)
                != EE_OK
        || engine().synchronize() != EE_OK) {
        // When playing, the sound device is opened by the first word: a
        // failure there is most often that there is none.
        return g_mode == Mode::Play ? noSoundOutput() : u"La synthèse vocale a échoué"_s;
    }
    return {};
}
#endif

} // namespace

QString speechText(const QString &textOrPinyin)
{
    if (hasChineseCharacter(textOrPinyin))
        return textOrPinyin.simplified();
    // Already numbered syllables are kept as they are.
    return toToneNumbers(textOrPinyin);
}

Speech render(const QString &textOrPinyin)
{
    Speech out;
#ifdef VERAROV_HAVE_ESPEAK_NG
    QMutexLocker lock(&engineMutex());
    out.error = start(Mode::Render);
    if (!out.error.isEmpty())
        return out;
    g_sink = &out.samples;
    out.error = speak(textOrPinyin);
    g_sink = nullptr;
    out.sampleRate = g_rate;
    if (out.error.isEmpty() && out.samples.isEmpty())
        out.error = u"La synthèse vocale n'a rien produit"_s;
#else
    Q_UNUSED(textOrPinyin);
    out.error = noVoice();
#endif
    return out;
}

QString play(const QString &textOrPinyin)
{
#ifdef VERAROV_HAVE_ESPEAK_NG
    QMutexLocker lock(&engineMutex());
    if (const QString error = start(Mode::Play); !error.isEmpty())
        return error;
    const QString error = speak(textOrPinyin);
    return error.isEmpty() ? QString() : u"Impossible de prononcer : %1"_s.arg(error);
#else
    Q_UNUSED(textOrPinyin);
    return noVoice();
#endif
}

QByteArray wavFile(const Speech &speech)
{
    const quint32 dataBytes = quint32(speech.samples.size()) * 2;
    QByteArray out;
    out.reserve(44 + qsizetype(dataBytes));
    const auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    const auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(speech.sampleRate));
    u32(quint32(speech.sampleRate) * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(dataBytes);
    for (const qint16 s : speech.samples)
        u16(quint16(s));
    return out;
}

QString soundFileName(QStringView headword, QStringView pinyin)
{
    QString readable;
    for (const QChar c : toToneNumbers(pinyin)) {
        if (c == u' ') {
            if (!readable.isEmpty() && !readable.endsWith(u'_'))
                readable += u'_';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            readable += c;
        }
    }
    readable.truncate(40);
    while (readable.endsWith(u'_'))
        readable.chop(1);
    const QByteArray hash = QCryptographicHash::hash(headword.toUtf8() + '\t' + pinyin.toUtf8(),
                                                     QCryptographicHash::Sha1)
                                    .toHex()
                                    .left(12);
    return u"verarov-"_s + (readable.isEmpty() ? QString() : readable + u'-')
            + QString::fromLatin1(hash) + u".wav"_s;
}

} // namespace Verarov::Speech
