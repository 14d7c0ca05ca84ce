// The program on the desktop: where its help pages are found, its icon on
// every window, the name its desktop entry and metadata carry.

#include "app/application.h"
#include "app/aproposde.h"
#include "app/desktop.h"
#include "app/errorbox.h"
#include "app/recherche.h"
#include "app/unit1.h"
#include "dictionary/builder.h"
#include "dictionary/reader.h"
#include "dictionary/tables.h"
#include "testsupport_app.h"
#include "testsupport_entries.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QProxyStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace Verarov::App;
using namespace Verarov;

class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void helpAddress_nearestLocalCopyElseSite_data();
    void helpAddress_nearestLocalCopyElseSite();
    void programIcon_hasTheThemeSizesOnASealRedTile();
    void windows_showTheProgramIcon_data();
    void windows_showTheProgramIcon();
    void menuBarExtension_showsTheStylesIcon();
    void desktopId_namesTheEntryAndMetadata();
};

void tst_Desktop::helpAddress_nearestLocalCopyElseSite_data()
{
    // A layout of files under a temporary root (the help pages present), the
    // program's folder in it, the page asked for, and the expected address:
    // a local file relative to the root, or "site:" and the site's page.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("expected");

    QTest::addRow("installed, French")
            << QStringList{u"usr/share/verarov/dico_aide/index.html"_s,
                           u"usr/share/verarov/dico_aide_cn/index.html"_s}
            << u"usr/bin"_s << u"dico_aide"_s << u"usr/share/verarov/dico_aide/index.html"_s;
    QTest::addRow("installed, Chinese")
            << QStringList{u"usr/share/verarov/dico_aide/index.html"_s,
                           u"usr/share/verarov/dico_aide_cn/index.html"_s}
            << u"usr/bin"_s << u"dico_aide_cn"_s << u"usr/share/verarov/dico_aide_cn/index.html"_s;
    QTest::addRow("build tree") << QStringList{u"build/share/verarov/dico_aide/index.html"_s}
                                << u"build/src/app"_s << u"dico_aide"_s
                                << u"build/share/verarov/dico_aide/index.html"_s;
    QTest::addRow("test program in the build tree")
            << QStringList{u"build/share/verarov/dico_aide_cn/index.html"_s} << u"build/tests"_s
            << u"dico_aide_cn"_s << u"build/share/verarov/dico_aide_cn/index.html"_s;
    QTest::addRow("own prefix before the one above it")
            << QStringList{u"usr/share/verarov/dico_aide/index.html"_s,
                           u"usr/local/share/verarov/dico_aide/index.html"_s}
            << u"usr/local/bin"_s << u"dico_aide"_s
            << u"usr/local/share/verarov/dico_aide/index.html"_s;
    QTest::addRow("only the other language's pages")
            << QStringList{u"usr/share/verarov/dico_aide/index.html"_s} << u"usr/bin"_s
            << u"dico_aide_cn"_s << u"site:dico_aide_cn/"_s;
    QTest::addRow("a folder without its index")
            << QStringList{u"usr/share/verarov/dico_aide/aide.css"_s} << u"usr/bin"_s
            << u"dico_aide"_s << u"site:dico_aide/"_s;
    QTest::addRow("index.html is a folder")
            << QStringList{u"usr/share/verarov/dico_aide/index.html/x"_s} << u"usr/bin"_s
            << u"dico_aide"_s << u"site:dico_aide/"_s;
    QTest::addRow("three levels up is too far")
            << QStringList{u"share/verarov/dico_aide/index.html"_s} << u"a/b/c"_s << u"dico_aide"_s
            << u"site:dico_aide/"_s;
    QTest::addRow("no pages at all")
            << QStringList{} << u"usr/bin"_s << u"dico_aide_cn"_s << u"site:dico_aide_cn/"_s;
#ifdef Q_OS_WIN
    // An installed Windows program has its pages beside it, before any other.
    QTest::addRow("installed on Windows")
            << QStringList{u"Verarov/dico_aide_cn/index.html"_s,
                           u"share/verarov/dico_aide_cn/index.html"_s}
            << u"Verarov"_s << u"dico_aide_cn"_s << u"Verarov/dico_aide_cn/index.html"_s;
    QTest::addRow("installed on Windows, the other language's pages")
            << QStringList{u"Verarov/dico_aide/index.html"_s} << u"Verarov"_s << u"dico_aide_cn"_s
            << u"site:dico_aide_cn/"_s;
#endif
}

void tst_Desktop::helpAddress_nearestLocalCopyElseSite()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programFolder);
    QFETCH(QString, page);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkpath(programFolder));
    for (const QString &file : files) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(file).path()));
        QFile f(root.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    const QUrl address = App::helpAddress(page, App::dataFolders(root.filePath(programFolder)));
    if (expected.startsWith(u"site:"_s)) {
        QCOMPARE(address, QUrl(App::siteAddress() + expected.sliced(5)));
    } else {
        QCOMPARE(address, QUrl::fromLocalFile(root.filePath(expected)));
        QVERIFY(!address.path().contains(u".."_s));
    }
}

void tst_Desktop::programIcon_hasTheThemeSizesOnASealRedTile()
{
    const QIcon icon = App::programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    for (const QSize &size : sizes) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), size);
        // Transparent outside the rounded tile, seal red between the two
        // parts of the character.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        const QColor tile = image.pixelColor(size.width() * 102 / 256, size.height() * 136 / 256);
        QVERIFY2(tile.red() > 150 && tile.green() < 80 && tile.blue() < 80,
                 qPrintable(tile.name()));
    }
    const QImage big = icon.pixmap(QSize(256, 256)).toImage();
    QVERIFY(big.pixelColor(150, 60).lightness() > 200); // the top bar of 司
}

void tst_Desktop::windows_showTheProgramIcon_data()
{
    QTest::addColumn<bool>("afterFirstPaint");
    QTest::newRow("set before any window") << false;
    // As the program starts: the window appears first.
    QTest::newRow("set once the first window is painted") << true;
}

void tst_Desktop::windows_showTheProgramIcon()
{
    QFETCH(bool, afterFirstPaint);
    QApplication::setWindowIcon(QIcon());
    App::prepareApplication(afterFirstPaint ? App::WindowIcon::AfterFirstPaint
                                            : App::WindowIcon::Now);
    QCOMPARE(QApplication::windowIcon().isNull(), afterFirstPaint);
    App::setErrorSink([](QWidget *, const QString &message) {
        QFAIL(qPrintable(u"error box: "_s + message));
    });
    QVERIFY(startWindows(fixtureTables(u"sample.tsv"_s)));
    QTRY_VERIFY(!Form1->windowIcon().isNull());
    Form1->AproposClick();
    Form1->RechercherClick();

    const QImage expected = App::programIcon().pixmap(QSize(32, 32)).toImage();
    for (QWidget *window : QList<QWidget *>{Form1, Form2, Form3}) {
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowIcon().pixmap(QSize(32, 32)).toImage(), expected);
    }
    // The About box's picture is the icon too.
    const QPixmap picture = Form2->findChild<QLabel *>(u"Image1"_s)->pixmap();
    QCOMPARE(picture.toImage(), App::programIcon().pixmap(QSize(65, 65)).toImage());
    App::destroyWindows();
    App::setErrorSink({});
}

void tst_Desktop::menuBarExtension_showsTheStylesIcon()
{
    // The application's style reads this icon when first asked for.
    App::prepareApplication();
    const auto *style = qobject_cast<const QProxyStyle *>(QApplication::style());
    QVERIFY(style);
    QMenuBar bar;
    const auto *extension = bar.findChild<QToolButton *>();
    QVERIFY(extension);
    const QImage expected =
            style->baseStyle()
                    ->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, &bar)
                    .pixmap(QSize(16, 16))
                    .toImage();
    QVERIFY(!expected.isNull());
    QCOMPARE(extension->icon().pixmap(QSize(16, 16)).toImage(), expected);
}

void tst_Desktop::desktopId_namesTheEntryAndMetadata()
{
    // The window system matches a window to its menu entry by this name; the
    // entry and the metadata name the icon and the launchable by it.
    const QString id = QString::fromUtf16(App::kDesktopId);
    App::prepareApplication();
    QCOMPARE(QGuiApplication::desktopFileName(), id);

    const QString folder = QStringLiteral(VERAROV_SOURCE_DIR "/desktop/");
    QFile entry(folder + id + u".desktop"_s);
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QList<QByteArray> lines = entry.readAll().split('\n');
    QVERIFY(lines.contains("Icon=" + id.toUtf8()));
    QVERIFY(QFile::exists(folder + id + u".svg"_s));

    QFile metainfo(folder + id + u".metainfo.xml"_s);
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QByteArray xml = metainfo.readAll();
    QVERIFY(xml.contains("<id>" + id.toUtf8() + "</id>"));
    QVERIFY(xml.contains("<launchable type=\"desktop-id\">" + id.toUtf8()
                         + ".desktop</launchable>"));
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
