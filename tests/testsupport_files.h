#pragma once

// Test helpers for translation inputs and outputs: UTF-16LE bytes and
// whole-file reads and writes.

#include <QByteArray>
#include <QFile>
#include <QString>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

inline QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Denies reading a file while it lives: on Windows by holding it open
// without sharing, as a program that has locked the file does; elsewhere by
// taking its read permission away (which does not bind the superuser).
class ReadDenied
{
public:
    explicit ReadDenied(const QString &path) : m_path(path)
    {
#ifdef Q_OS_WIN
        m_handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ, 0,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        m_set = m_handle != INVALID_HANDLE_VALUE;
#else
        m_set = QFile::setPermissions(path, QFileDevice::WriteOwner);
#endif
    }
    ~ReadDenied()
    {
        if (!m_set)
            return;
#ifdef Q_OS_WIN
        ::CloseHandle(m_handle);
#else
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    }
    ReadDenied(const ReadDenied &) = delete;
    ReadDenied &operator=(const ReadDenied &) = delete;

    bool isSet() const
    {
        return m_set;
    }

private:
    QString m_path;
    bool m_set = false;
#ifdef Q_OS_WIN
    HANDLE m_handle = INVALID_HANDLE_VALUE;
#endif
};
