#pragma once

// What the data tool's commands share: the error stream, the argument
// reader, the progress bar, the dictionary they act on.

#include "dictionary/loader.h"
#include "dictionary/reader.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace Verarov::DataTool {

// Standard error, where every message goes.
QTextStream &err();

// The tool's usage line on standard error; the status of a usage error.
int usage();

// Each skipped line of a read dictionary, then the counts, on standard
// error (nothing when nothing was dropped).
void reportSkipped(const QString &path, const Dictionary::ReadResult &read);

// The dictionary check, export and vocab act on (the one the program would
// load); false, reported, when it cannot be had.
bool loadForUse(Dictionary::Loaded &loaded);

// Reads a command's arguments in order: "--name value" and "--name=value"
// are options, "--" ends them, anything else is an operand ("-" included).
//   {"--format=csv", "a.txt", "--known", "k.txt", "--", "--b"}
//   -> option format "csv", operand "a.txt", option known (value taken on
//      demand: "k.txt"), operand "--b"
class ArgumentReader
{
public:
    explicit ArgumentReader(QStringList arguments) : m_arguments(std::move(arguments)) { }

    struct Item
    {
        bool option = false;
        QString text;                 // the argument as given
        QString name;                 // an option's name, "--" included
        std::optional<QString> value; // an option's "=value"
    };
    // The next option or operand; none after the last.
    std::optional<Item> next();
    // The value of the option just read: its "=value", else the next
    // argument, taken; none at the end.
    std::optional<QString> takeValue(const Item &option);

private:
    QStringList m_arguments;
    qsizetype m_next = 0;
    bool m_options = true;
};

// The progress bar of inputs over 50 MB, on standard error when it is a
// terminal only.
class ProgressBar
{
public:
    explicit ProgressBar(qint64 total);
    ~ProgressBar() { clear(); }
    void advance(qint64 bytes);
    void clear();

private:
    qint64 m_total;
    qint64 m_done = 0;
    bool m_shown;
    QString m_last;
};

// The commands, each in its own file; the status to exit with.
int importCommand(const QString &path);
int buildCommand(const QString &in, const QString &out);
int checkCommand();
int exportCommand(const QString &folder);
int vocabCommand(const QStringList &arguments);

} // namespace Verarov::DataTool
