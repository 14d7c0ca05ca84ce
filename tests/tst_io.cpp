// The file layer, directly: what an output does with what stands under its
// name, file names that are not UTF-8, temporary files of killed runs.

#include "io/input.h"
#include "io/names.h"
#include "io/output.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;
using namespace Verarov;

class tst_Io : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void output_streamsIntoWhatIsNotAFile_data();
    void output_streamsIntoWhatIsNotAFile();
    void output_neverReplacesALinkToWhatIsNotAFile_data();
    void output_neverReplacesALinkToWhatIsNotAFile();
    void names_keepTheirBytes_data();
    void names_keepTheirBytes();
    void output_removesTemporaryFilesOfEndedRuns();
    void output_checksTheNameBeforeWriting();

private:
    // The bytes of a folder entry's name, in the temporary folder.
    QByteArray nativePath(const QByteArray &name) const
    {
        return QFile::encodeName(m_dir->path()) + '/' + name;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_Io::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// What is written to the name of a FIFO, or of a link to one or to a
// descriptor of this process (what /dev/stdout is), goes into it, in place:
// nothing is created beside it, the link stays.
void tst_Io::output_streamsIntoWhatIsNotAFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addRow("FIFO") << u"fifo"_s;
    QTest::addRow("link to a FIFO") << u"link to fifo"_s;
    QTest::addRow("link to a descriptor's pipe") << u"link to descriptor"_s;
    QTest::addRow("link to a descriptor's file") << u"link to descriptor file"_s;
}

void tst_Io::output_streamsIntoWhatIsNotAFile()
{
#ifdef Q_OS_WIN
    QSKIP("FIFOs and descriptor links are POSIX's");
#else
    QFETCH(QString, kind);
    const QByteArray fifo = nativePath("fifo");
    const QByteArray name = nativePath("output");
    int pipeEnds[2] = {-1, -1};
    int readEnd = -1;
    int fileFd = -1;
    if (kind.contains(u"fifo"_s)) {
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        readEnd = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(readEnd >= 0);
        if (kind == u"fifo")
            QCOMPARE(::rename(fifo.constData(), name.constData()), 0);
        else
            QCOMPARE(::symlink(fifo.constData(), name.constData()), 0);
    } else if (kind == u"link to descriptor") {
        QCOMPARE(::pipe2(pipeEnds, O_NONBLOCK), 0);
        readEnd = pipeEnds[0];
        const QByteArray target = "/proc/self/fd/" + QByteArray::number(pipeEnds[1]);
        QCOMPARE(::symlink(target.constData(), name.constData()), 0);
    } else {
        fileFd = ::open(nativePath("file").constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fileFd >= 0);
        const QByteArray target = "/proc/self/fd/" + QByteArray::number(fileFd);
        QCOMPARE(::symlink(target.constData(), name.constData()), 0);
    }
    struct stat before;
    QCOMPARE(::lstat(name.constData(), &before), 0);

    const QByteArray text = "好\thǎo\tbon\n";
    QCOMPARE(Io::writeWhole(QFile::decodeName(name), text), QString());

    QByteArray got;
    if (readEnd >= 0) {
        got.resize(100);
        const qint64 n = ::read(readEnd, got.data(), got.size());
        got.resize(qMax<qint64>(n, 0));
        ::close(readEnd);
    } else {
        QFile file(QFile::decodeName(nativePath("file")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        got = file.readAll();
    }
    QCOMPARE(got, text);
    struct stat after;
    QCOMPARE(::lstat(name.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    const QStringList left = QDir(m_dir->path())
                                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                | QDir::NoDotAndDotDot);
    QVERIFY2(left.filter(u".tmp"_s).isEmpty(), qPrintable(left.join(u' ')));
    for (int fd : {pipeEnds[1], fileFd}) {
        if (fd >= 0)
            ::close(fd);
    }
#endif
}

// A link to a folder is refused, not replaced by a file.
void tst_Io::output_neverReplacesALinkToWhatIsNotAFile_data()
{
    QTest::addColumn<bool>("unused");
    QTest::addRow("link to a folder") << true;
}

void tst_Io::output_neverReplacesALinkToWhatIsNotAFile()
{
#ifdef Q_OS_WIN
    QSKIP("symbolic links need a privilege on Windows");
#else
    const QByteArray folder = nativePath("folder");
    const QByteArray name = nativePath("output");
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    QCOMPARE(::symlink(folder.constData(), name.constData()), 0);
    Io::OutputFile out;
    QVERIFY(out.create(QFile::decodeName(name)) != 0);
    struct stat info;
    QCOMPARE(::lstat(name.constData(), &info), 0);
    QVERIFY(S_ISLNK(info.st_mode));
    QCOMPARE(QDir(QFile::decodeName(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
#endif
}

// A name is opened and created with exactly its bytes, UTF-8 or not (GBK,
// Latin-1 names of unpacked archives), even beside a file whose name is
// what a lossy decoding would make of it.
void tst_Io::names_keepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addRow("GBK") << QByteArray("\xce\xc4.txt");
    QTest::addRow("Latin-1") << QByteArray("out\xe9.bin");
    QTest::addRow("stray continuation") << QByteArray("\x80x");
    QTest::addRow("overlong slash") << QByteArray("a\xc0\xaf");
    QTest::addRow("encoded surrogate") << QByteArray("\xed\xb2\x80");
    QTest::addRow("cut sequence") << QByteArray("\xe5\xa5");
    QTest::addRow("UTF-8") << QByteArray("好.txt");
}

void tst_Io::names_keepTheirBytes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names are UTF-16, not bytes");
#else
    QFETCH(QByteArray, name);
    const QByteArray path = nativePath(name);
    // The twin a lossy decoding would lead to.
    const QByteArray twin = nativePath(QString::fromUtf8(name).toUtf8());
    if (twin != path) {
        const int fd = ::open(twin.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "twin", 4), 4);
        ::close(fd);
    }
    const QString held = Io::decodeName(path.constData());
    QCOMPARE(Io::encodeName(held), path);

    QCOMPARE(Io::writeWhole(held, "mine"), QString());
    int fd = ::open(path.constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    char buffer[8] = {};
    QCOMPARE(::read(fd, buffer, sizeof buffer), 4);
    ::close(fd);
    QCOMPARE(QByteArray(buffer, 4), QByteArray("mine"));

    QByteArray data;
    QCOMPARE(Io::readWholeFile(held, data, 100), QString());
    QCOMPARE(data, QByteArray("mine"));
    if (twin != path) {
        fd = ::open(twin.constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::read(fd, buffer, sizeof buffer), 4);
        ::close(fd);
        QCOMPARE(QByteArray(buffer, 4), QByteArray("twin"));
    }
    // Shown readably: the bytes that are not text as \xHH.
    QVERIFY(!Io::displayName(held).contains(QChar(0xFFFD)));
    for (const QChar c : Io::displayName(held))
        QVERIFY(!c.isSurrogate());
#endif
}

// The temporary file of a run that was killed (SIGKILL, power loss) is
// removed by the next output in its folder once its process is gone; one
// of a live process is left.
void tst_Io::output_removesTemporaryFilesOfEndedRuns()
{
#ifdef Q_OS_WIN
    QSKIP("ended runs' temporary files are not looked for on Windows");
#else
    // A process id that no longer runs: a child's, once reaped (not
    // reused this soon), checked.
    const pid_t deadPid = ::fork();
    if (deadPid == 0)
        ::_exit(0);
    QVERIFY(deadPid > 0);
    int status = 0;
    QCOMPARE(::waitpid(deadPid, &status, 0), deadPid);
    if (::kill(deadPid, 0) == 0 || errno != ESRCH)
        QSKIP("the ended process id is in use again");
    const QString dead = m_dir->filePath(u".verarov-%1-0123abcd.tmp"_s.arg(deadPid));
    const QString live = m_dir->filePath(u".verarov-%1-0123abcd.tmp"_s.arg(::getppid()));
    const QString other = m_dir->filePath(u".verarov-notanumber.tmp"_s);
    for (const QString &path : {dead, live, other}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(Io::writeWhole(m_dir->filePath(u"out.txt"_s), "x"), QString());
    QVERIFY(!QFile::exists(dead));
    QVERIFY(QFile::exists(live));
    QVERIFY(QFile::exists(other));
#endif
}

// A name the folder cannot hold is refused at creation, before anything
// is written, not at the rename.
void tst_Io::output_checksTheNameBeforeWriting()
{
    Io::OutputFile out;
    QCOMPARE(out.create(m_dir->filePath(QString(256, u'n'))), ENAMETOOLONG);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(tst_Io)
#include "tst_io.moc"
