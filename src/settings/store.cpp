#include "settings/store.h"

#include "io/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QVariant>

#include <limits>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

Q_LOGGING_CATEGORY(lcSettings, "verarov.settings", QtWarningMsg)

namespace Verarov::Settings {

using namespace Qt::StringLiterals;

namespace {

const QString kLanguageName = u"langue"_s;
// The stored texts of the two languages; any other text reads as French.
const QString kFrenchText = u"fr"_s;
const QString kChineseText = u"ch"_s;
const QString kRegistryKey = u"HKEY_CURRENT_USER\\Software\\Duvuduz_ivod"_s;

QString &locationOverride()
{
    static QString location;
    return location;
}

bool isRegistry(const QString &location)
{
#ifdef Q_OS_WIN
    return location.startsWith(u"HKEY_"_s, Qt::CaseInsensitive);
#else
    Q_UNUSED(location);
    return false;
#endif
}

// Whether an INI store may be opened: nothing there yet, or a regular file,
// directly or through links.  A FIFO would block the reading, a device or a
// folder cannot hold the store, and the writing replaces what a link points
// to with a regular file (a link to /dev/null would become one).
bool isUsableFile(const QString &location)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(location);
    struct stat status;
    if (::lstat(path.constData(), &status) != 0)
        return true; // missing: the store reports what it cannot create
    if (S_ISREG(status.st_mode))
        return true;
    if (!S_ISLNK(status.st_mode))
        return false;
    if (::stat(path.constData(), &status) != 0)
        return errno == ENOENT; // a link to nothing yet; a loop is refused
    return S_ISREG(status.st_mode);
#else
    const QFileInfo info(location);
    return !info.exists() || info.isFile();
#endif
}

// QSettings takes the lock file "<store>.lock" to write and waits for it
// without end: a folder of that name, a stale lock it cannot remove (a
// read-only folder) or a fresh lock of another host would hang the program.
// The lock is tried here for about a second first; QSettings takes it again
// at once after.
bool lockAvailable(const QString &location)
{
    QLockFile lock(location + u".lock"_s);
    if (!lock.tryLock(1000))
        return false;
    lock.unlock();
    return true;
}

// Whether an INI store holds text that is not UTF-8 (a key or a value typed
// in Latin-1: "couleur entr\xE9e").  QSettings reads such bytes as U+FFFD
// and would write them back as "%UFFFD", losing them: the values are then
// written by writeLines().
bool holdsNonUtf8(const QString &location)
{
    QFile file(location);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(file.readAll());
    return decoder.hasError();
}

// A key as QSettings writes it in an INI file: letters, digits, "-", "_"
// and "." as they are, "/" as "\", other characters as %XX (up to U+00FF)
// or %UXXXX.  "couleur entrée" -> "couleur%20entr%E9e"
QByteArray iniKey(QStringView key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
            || u == u'-' || u == u'_' || u == u'.')
            out += char(u);
        else if (u == u'/')
            out += '\\';
        else if (u <= 0xff)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// The key of an INI line as QSettings reads it: %XX and %UXXXX unescaped,
// "\" as "/", other bytes as UTF-8.  "couleur%20entr%E9e" -> "couleur entrée"
QString iniKeyText(QByteArrayView raw)
{
    QString key;
    QByteArray run; // bytes read as UTF-8
    auto hex = [&](qsizetype at, int digits) -> int {
        if (at + digits > raw.size())
            return -1;
        bool ok = false;
        const int value = raw.sliced(at, digits).toByteArray().toInt(&ok, 16);
        return ok ? value : -1;
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        int unit = -1;
        int length = 0;
        if (raw[i] == '%' && i + 1 < raw.size() && raw[i + 1] == 'U') {
            unit = hex(i + 2, 4);
            length = 6;
        } else if (raw[i] == '%') {
            unit = hex(i + 1, 2);
            length = 3;
        } else if (raw[i] == '\\') {
            unit = '/';
            length = 1;
        }
        if (unit < 0) {
            run += raw[i];
            continue;
        }
        key += QString::fromUtf8(run) + QChar(char16_t(unit));
        run.clear();
        i += length - 1;
    }
    return key + QString::fromUtf8(run);
}

// Writes values (name, text as stored) into an INI store by replacing the
// value of their lines in the General section, or adding lines to it;
// every other byte of the file is kept.  False when the lock or the file
// cannot be had.
bool writeLines(const QString &location, const QList<std::pair<QString, QByteArray>> &values)
{
    QLockFile lock(location + u".lock"_s);
    if (!lock.tryLock(1000))
        return false;
    QFile in(location);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = in.readAll();
    in.close();

    const QByteArray eol = text.contains("\r\n") ? "\r\n"_ba : "\n"_ba;
    QList<QByteArray> lines = text.split('\n'); // a CR stays at the end of its line
    const bool endsWithEol = text.endsWith('\n');
    if (endsWithEol || text.isEmpty())
        lines.removeLast();
    QList<bool> done(values.size(), false);
    bool inGeneral = true; // keys before any section header are General
    qsizetype addAt = -1;  // after the last line of a General section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool cr = lines[i].endsWith('\r');
        const QByteArray body = cr ? lines[i].chopped(1) : lines[i];
        const QByteArray trimmed = body.trimmed();
        if (trimmed.startsWith('[')) {
            inGeneral = trimmed == "[General]";
            if (inGeneral)
                addAt = i + 1;
            continue;
        }
        if (!inGeneral || trimmed.isEmpty())
            continue;
        addAt = i + 1;
        const qsizetype equals = body.indexOf('=');
        if (equals < 0)
            continue;
        const QString key = iniKeyText(body.first(equals).trimmed());
        for (qsizetype v = 0; v < values.size(); ++v) {
            if (!done[v] && key == values[v].first) {
                lines[i] = body.first(equals + 1) + values[v].second + (cr ? "\r" : "");
                done[v] = true;
            }
        }
    }
    QList<QByteArray> added;
    for (qsizetype v = 0; v < values.size(); ++v) {
        if (!done[v])
            added.append(iniKey(values[v].first) + '=' + values[v].second
                         + (eol.size() == 2 ? "\r" : ""));
    }
    if (addAt < 0) { // no General section yet: one first, as QSettings puts it
        added.prepend("[General]"_ba + (eol.size() == 2 ? "\r" : ""));
        if (!lines.isEmpty())
            added.append(eol.size() == 2 ? "\r"_ba : QByteArray());
        addAt = 0;
    }
    for (qsizetype k = 0; k < added.size(); ++k)
        lines.insert(addAt + k, added[k]);

    QSaveFile out(location);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(lines.join('\n'));
    if (endsWithEol || (!added.isEmpty() && addAt + added.size() == lines.size()))
        out.write("\n");
    return out.commit();
}

std::unique_ptr<QSettings> open(const QString &location)
{
    auto settings = std::make_unique<QSettings>(
            location, isRegistry(location) ? QSettings::NativeFormat : QSettings::IniFormat);
    settings->setFallbacksEnabled(false);
    return settings;
}

// Text that reads as an integer: decimal with an optional sign, or "0x" and
// hexadecimal digits.  " 42 " -> 42, "-16777208", "0xFF000008"; "4x" -> no.
// A number too long for 64 bits still counts, with no value.
struct IntegerText
{
    bool isInteger = false;
    std::optional<qint64> value;
};

IntegerText integerText(QStringView text)
{
    text = text.trimmed();
    const bool hex = text.startsWith(u"0x", Qt::CaseInsensitive);
    QStringView digits = hex ? text.sliced(2) : text;
    if (!hex && !digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+'))
        digits = digits.sliced(1);
    if (digits.isEmpty())
        return {};
    for (const QChar c : digits) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool hexLetter = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!digit && !(hex && hexLetter))
            return {};
    }
    bool ok = false;
    const qint64 value = hex ? digits.toLongLong(&ok, 16) : text.toLongLong(&ok, 10);
    return {true, ok ? std::optional<qint64>(value) : std::nullopt};
}

std::optional<ColourValue> colourFromNumber(qint64 number)
{
    if (number < std::numeric_limits<qint32>::min() || number > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return ColourValue(quint64(number) & 0xffffffffu);
}

// How a read value shows in the log.
QString logText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    if (!value.isValid())
        return u"(invalide)"_s;
    return value.toString();
}

// Colours are stored as the 32-bit value read as signed, like a REG_DWORD.
QVariant storedColour(ColourValue value)
{
    return QVariant(qint32(value));
}

} // namespace

QString wrongTypeMessage(const QString &name)
{
    return u"Type de données incorrect pour '%1'"_s.arg(name);
}

QString writeFailedMessage(const QString &name)
{
    return u"Echec à la définition des données pour '%1'"_s.arg(name);
}

std::optional<ColourValue> colourFromStore(const QVariant &stored, bool keepsTypes)
{
    switch (stored.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
        return colourFromNumber(stored.toLongLong());
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        // A 64-bit registry value is not a colour; in text it can only come
        // from a typed entry that still fits.
        if (keepsTypes
            || (stored.typeId() == QMetaType::ULongLong
                && stored.toULongLong() > std::numeric_limits<quint32>::max()))
            return std::nullopt;
        return colourFromNumber(stored.toLongLong());
    case QMetaType::QString: {
        if (keepsTypes)
            return std::nullopt;
        const IntegerText number = integerText(stored.toString());
        if (!number.value)
            return std::nullopt;
        return colourFromNumber(*number.value);
    }
    default:
        return std::nullopt;
    }
}

std::optional<Language> languageFromStore(const QVariant &stored, bool keepsTypes)
{
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = stored.toString();
    if (!keepsTypes && integerText(text).isInteger)
        return std::nullopt;
    return text == kChineseText ? Language::Chinese : Language::French;
}

QString userStoreLocation()
{
    if (!locationOverride().isEmpty())
        return locationOverride();
#ifdef Q_OS_WIN
    return kRegistryKey;
#else
    // A relative $XDG_CONFIG_HOME is ignored: never a folder relative to
    // the current one.
    return Io::userLocation(QStandardPaths::GenericConfigLocation) + u"/Duvuduz_ivod.conf"_s;
#endif
}

void setUserStoreLocation(const QString &location)
{
    locationOverride() = location;
}

Store::Store() : m_location(userStoreLocation()) { }

Store::Store(QString location) : m_location(std::move(location)) { }

bool Store::keepsTypes() const
{
    return isRegistry(m_location);
}

StoredSettings Store::readAtStart() const
{
    const bool typed = keepsTypes();
    StoredSettings result;
    if (!typed && !isUsableFile(m_location)) {
        result.colours.fill(std::nullopt, colourSettings().size());
        result.failures.append(writeFailedMessage(colourSettings().first().name));
        return result;
    }
    const auto settings = open(m_location);
    const bool byLines = !typed && holdsNonUtf8(m_location);
    QList<std::pair<QString, QByteArray>> defaults; // to write by lines

    if (settings->contains(kLanguageName)) {
        const QVariant stored = settings->value(kLanguageName);
        qCDebug(lcSettings).noquote().nospace()
                << "lu\t" << kLanguageName << '\t' << logText(stored);
        if (const auto language = languageFromStore(stored, typed))
            result.language = *language;
        else
            result.failures.append(wrongTypeMessage(kLanguageName));
    }

    QString firstWritten;
    bool writable = true;
    for (const ColourSetting &setting : colourSettings()) {
        if (settings->contains(setting.name)) {
            const QVariant stored = settings->value(setting.name);
            qCDebug(lcSettings).noquote().nospace()
                    << "lu\t" << setting.name << '\t' << logText(stored);
            const auto colour = colourFromStore(stored, typed);
            if (!colour)
                result.failures.append(wrongTypeMessage(setting.name));
            result.colours.append(colour);
            continue;
        }
        result.colours.append(std::nullopt);
        // Missing: its default is written once the key is known writable;
        // the first value that cannot be written ends the writing.
        if (!writable)
            continue;
        if (firstWritten.isEmpty()) {
            writable = settings->isWritable() && (typed || lockAvailable(m_location));
            firstWritten = setting.name;
            if (!writable) {
                result.failures.append(writeFailedMessage(setting.name));
                continue;
            }
        }
        if (byLines)
            defaults.append({setting.name, QByteArray::number(qint32(setting.defaultValue))});
        else
            settings->setValue(setting.name, storedColour(setting.defaultValue));
        qCDebug(lcSettings).noquote().nospace()
                << "ecrit\t" << setting.name << '\t' << qint32(setting.defaultValue);
    }
    if (writable && !firstWritten.isEmpty()) {
        const bool written =
                byLines ? writeLines(m_location, defaults)
                        : (settings->sync(), settings->status() != QSettings::AccessError);
        if (!written)
            result.failures.append(writeFailedMessage(firstWritten));
    }
    return result;
}

QString Store::write(const QList<std::pair<QString, QVariant>> &values) const
{
    if (values.isEmpty())
        return {};
    const bool typed = keepsTypes();
    if (!typed && !isUsableFile(m_location))
        return writeFailedMessage(values.first().first);
    const auto settings = open(m_location);
    if (!settings->isWritable())
        return writeFailedMessage(values.first().first);
    const bool byLines = !typed && holdsNonUtf8(m_location);
    QList<std::pair<QString, QByteArray>> lines; // to write by lines
    // A value the store already holds, same type where it keeps types, is
    // left as it is: the store ends the same, without rewriting the file
    // (starting in Chinese writes "langue" = "ch" again each time).
    bool changed = false;
    for (const auto &[name, value] : values) {
        const QVariant stored = settings->value(name);
        const bool same = keepsTypes() ? stored == value
                                       : stored.typeId() == QMetaType::QString
                                                 && stored.toString() == value.toString();
        if (same)
            continue;
        // Nothing is set unless it can be written: QSettings would wait for
        // the lock again when it is destroyed.
        if (!changed && !typed && !lockAvailable(m_location))
            return writeFailedMessage(values.first().first);
        if (byLines)
            lines.append({name, value.toString().toUtf8()});
        else
            settings->setValue(name, value);
        changed = true;
        qCDebug(lcSettings).noquote().nospace() << "ecrit\t" << name << '\t' << value.toString();
    }
    if (!changed)
        return {};
    if (byLines)
        return writeLines(m_location, lines) ? QString() : writeFailedMessage(values.first().first);
    settings->sync();
    if (settings->status() == QSettings::AccessError)
        return writeFailedMessage(values.first().first);
    return {};
}

QString Store::writeLanguage(Language language) const
{
    return write({{kLanguageName, language == Language::Chinese ? kChineseText : kFrenchText}});
}

QString Store::writeColour(const ColourSetting &setting, ColourValue value) const
{
    return write({{setting.name, storedColour(value)}});
}

std::optional<bool> Store::readSwitch(const QString &name) const
{
    const auto settings = open(m_location);
    if (!settings->contains(name))
        return std::nullopt;
    const QVariant stored = settings->value(name);
    qCDebug(lcSettings).noquote().nospace() << "lu\t" << name << '\t' << logText(stored);
    // Any 32-bit integer, as a colour would be read.
    if (const auto number = colourFromStore(stored, keepsTypes()))
        return *number != 0;
    return std::nullopt;
}

QString Store::writeSwitch(const QString &name, bool on) const
{
    return write({{name, QVariant(qint32(on ? 1 : 0))}});
}

QString Store::writeDefaults() const
{
    QList<std::pair<QString, QVariant>> values;
    for (const ColourSetting &setting : colourSettings())
        values.append({setting.name, storedColour(setting.defaultValue)});
    return write(values);
}

} // namespace Verarov::Settings
