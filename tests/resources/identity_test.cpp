// The facts a desktop reads about the program: the application object's identity and icon, and
// the desktop entry and AppStream metadata that get installed next to it. They must agree.

#include "resources/identity.h"
#include "resources/version.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// The [Desktop Entry] group as key -> value, localised keys included ("Name[zh_CN]").
QMap<QString, QString> ReadDesktopEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QMap<QString, QString> entry;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inGroup = line == "[Desktop Entry]"_L1;
        else if (inGroup && line.contains(u'=') && !line.startsWith(u'#'))
            entry.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return entry;
}

struct Metainfo {
    QString id, launchable, nameZh, releaseVersion;
    int screenshots = 0;
};

Metainfo ReadMetainfo(const QString &path)
{
    QFile file(path);
    Metainfo info;
    if (!file.open(QIODevice::ReadOnly))
        return info;
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        const QStringView name = xml.name();
        const QString lang = xml.attributes().value("xml:lang"_L1).toString();
        if (name == "id"_L1)
            info.id = xml.readElementText();
        else if (name == "launchable"_L1)
            info.launchable = xml.readElementText();
        else if (name == "name"_L1 && lang == "zh_CN"_L1)
            info.nameZh = xml.readElementText();
        else if (name == "release"_L1 && info.releaseVersion.isEmpty())
            info.releaseVersion = xml.attributes().value("version"_L1).toString();
        else if (name == "screenshot"_L1)
            ++info.screenshots;
    }
    return info;
}

} // namespace

class IdentityTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { lumo::resources::ApplyApplicationIdentity(*qApp); }

    void applicationObjectKnowsTheProgram()
    {
        QCOMPARE(QCoreApplication::applicationName(), u"Lumo个性繁体转换器"_s);
        QCOMPARE(QCoreApplication::applicationVersion(), u"2.5.0.16"_s);
        QCOMPARE(QString::fromLatin1(lumo::resources::DisplayVersion()), u"2.05.0016"_s);
        QVERIFY(!QCoreApplication::organizationName().isEmpty());
        QCOMPARE(QGuiApplication::desktopFileName(), u"example.lumo.Lumo"_s);
    }

    void everyWindowShowsTheProgramIcon()
    {
        const QIcon icon = lumo::resources::ProgramIcon();
        const QList<QSize> sizes{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {100, 100}};
        QCOMPARE(icon.availableSizes(), sizes);
        // Each image as its PNG file shows it (the images are decoded when building).
        for (const QSize &size : sizes) {
            const QString file = QString::fromUtf8(LUMO_ICON_DIR) + u"/lumo-%1.png"_s.arg(size.width());
            const QImage expected = QImage(file).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QVERIFY2(!expected.isNull(), qPrintable(file));
            QCOMPARE(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     expected);
        }

        QWidget window;
        QCOMPARE(window.windowIcon().availableSizes(), sizes);
        // The drawing is a red tile with light strokes: a blank or wrong image fails here.
        const QImage image = window.windowIcon().pixmap(QSize(48, 48)).toImage();
        QVERIFY(qRed(image.pixel(24, 2)) > 150 && qGreen(image.pixel(24, 2)) < 90);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    void desktopEntryNamesTheSameProgram()
    {
        const auto entry = ReadDesktopEntry(QString::fromUtf8(LUMO_DESKTOP_FILE));
        QVERIFY2(!entry.isEmpty(), LUMO_DESKTOP_FILE);
        QCOMPARE(QFileInfo(QString::fromUtf8(LUMO_DESKTOP_FILE)).fileName(),
                 QGuiApplication::desktopFileName() + ".desktop"_L1);
        QCOMPARE(entry.value(u"Name[zh_CN]"_s), QCoreApplication::applicationName());
        QVERIFY(!entry.value(u"Name"_s).isEmpty());
        QVERIFY(!entry.value(u"Comment"_s).isEmpty());
        QVERIFY(!entry.value(u"Comment[zh_CN]"_s).isEmpty());
        QCOMPARE(entry.value(u"Icon"_s), QGuiApplication::desktopFileName());
        QCOMPARE(entry.value(u"Exec"_s), u"lumo"_s);
        QCOMPARE(entry.value(u"Categories"_s), u"Utility;TextTools;"_s);
    }

    void metainfoNamesTheSameProgram()
    {
        const Metainfo info = ReadMetainfo(QString::fromUtf8(LUMO_METAINFO_FILE));
        QCOMPARE(info.id, QGuiApplication::desktopFileName());
        QCOMPARE(info.launchable, QGuiApplication::desktopFileName() + ".desktop"_L1);
        QCOMPARE(info.nameZh, QCoreApplication::applicationName());
        QCOMPARE(info.releaseVersion, QCoreApplication::applicationVersion());
        QVERIFY(info.screenshots >= 1);
    }
};

QTEST_MAIN(IdentityTest)
#include "identity_test.moc"
