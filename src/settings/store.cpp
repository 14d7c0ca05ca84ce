#include "settings/store.h"

#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <limits>
#include <memory>

Q_LOGGING_CATEGORY(lcSettings, "verarov.settings", QtWarningMsg)

namespace Verarov::Settings {

using namespace Qt::StringLiterals;

namespace {

const QString kLangue = u"langue"_s;
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
        if (keepsTypes || (stored.typeId() == QMetaType::ULongLong
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

std::optional<QString> langueFromStore(const QVariant &stored, bool keepsTypes)
{
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    QString text = stored.toString();
    if (!keepsTypes && integerText(text).isInteger)
        return std::nullopt;
    return text;
}

QString userStoreLocation()
{
    if (!locationOverride().isEmpty())
        return locationOverride();
#ifdef Q_OS_WIN
    return kRegistryKey;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + u"/Duvuduz_ivod.conf"_s;
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
    const auto settings = open(m_location);

    if (settings->contains(kLangue)) {
        const QVariant stored = settings->value(kLangue);
        qCDebug(lcSettings).noquote().nospace() << "lu\t" << kLangue << '\t' << logText(stored);
        if (const auto langue = langueFromStore(stored, typed))
            result.langue = *langue;
        else
            result.failures.append(wrongTypeMessage(kLangue));
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
            writable = settings->isWritable();
            firstWritten = setting.name;
            if (!writable) {
                result.failures.append(writeFailedMessage(setting.name));
                continue;
            }
        }
        settings->setValue(setting.name, storedColour(setting.defaultValue));
        qCDebug(lcSettings).noquote().nospace()
                << "ecrit\t" << setting.name << '\t' << qint32(setting.defaultValue);
    }
    if (writable && !firstWritten.isEmpty()) {
        settings->sync();
        if (settings->status() == QSettings::AccessError)
            result.failures.append(writeFailedMessage(firstWritten));
    }
    return result;
}

QString Store::write(const QList<std::pair<QString, QVariant>> &values) const
{
    if (values.isEmpty())
        return {};
    const auto settings = open(m_location);
    if (!settings->isWritable())
        return writeFailedMessage(values.first().first);
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
        settings->setValue(name, value);
        changed = true;
        qCDebug(lcSettings).noquote().nospace() << "ecrit\t" << name << '\t' << value.toString();
    }
    if (!changed)
        return {};
    settings->sync();
    if (settings->status() == QSettings::AccessError)
        return writeFailedMessage(values.first().first);
    return {};
}

QString Store::writeLangue(const QString &langue) const
{
    return write({{kLangue, langue}});
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
