#pragma once

// Test helper: the debug lines of one logging category, captured while a
// LogCapture lives.

#include <QByteArray>
#include <QLoggingCategory>
#include <QStringList>

class LogCapture
{
    Q_DISABLE_COPY_MOVE(LogCapture)

public:
    // enable: the category's debug output turned on for the capture's life
    // (off again after); without it, only what the category lets through
    // by itself is captured.  "verarov.lookup"
    explicit LogCapture(const char *category, bool enable = true)
        : m_category(category), m_enabled(enable)
    {
        if (m_enabled)
            QLoggingCategory::setFilterRules(QString::fromLatin1(m_category + ".debug=true"));
        current() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }

    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
        if (m_enabled)
            QLoggingCategory::setFilterRules({});
    }

    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    static LogCapture *&current()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        LogCapture *capture = current();
        if (capture && type == QtDebugMsg && capture->m_category == context.category)
            capture->m_lines.append(message);
    }

    QByteArray m_category;
    bool m_enabled;
    QtMessageHandler m_previous = nullptr;
    QStringList m_lines;
};
