// The real clipboard service on a real X server: another program reads exactly
// the text we put there, and a refused selection is reported, not ignored.

#include "platform/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// Reads the CLIPBOARD selection with xclip while our event loop keeps serving it.
QString ReadWithXclip()
{
    QProcess xclip;
    xclip.start(u"xclip"_s, {u"-o"_s, u"-selection"_s, u"clipboard"_s});
    if (!xclip.waitForStarted())
        return u"<xclip did not start>"_s;
    for (int waited = 0; xclip.state() != QProcess::NotRunning && waited < 10000; waited += 10)
        QTest::qWait(10);
    if (xclip.state() != QProcess::NotRunning)
        return u"<xclip -o hangs>"_s;
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

} // namespace

class ClipboardX11Test : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void otherProgramsReadOurText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("traditional") << u"我們的"_s;
        QTest::addRow("look-alikes") << u"\u03C9\u01D2\u5011d\u00E9 \u2489 0.\u24880."_s;
        QTest::addRow("lines") << u"第一行\n第二行\n"_s;
        QTest::addRow("no-break space and symbols") << u"a\u00A0b \u2606\u300E\uFFE1"_s;
        QTest::addRow("empty") << QString();
        QTest::addRow("large") << QString(200000, u'繁');
    }

    void otherProgramsReadOurText()
    {
        QFETCH(QString, text);
        QVERIFY(lumo::platform::Clipboard().setText(text));
        QCOMPARE(ReadWithXclip(), text);
    }

    // Another program takes the clipboard while we have not seen a newer X event:
    // our request to own it carries the older time and the server ignores it.
    void refusedSelectionIsReported()
    {
        QVERIFY(lumo::platform::Clipboard().setText(u"ours"_s));
        QCoreApplication::processEvents();
        QThread::msleep(50);

        QTemporaryFile theirs;
        QVERIFY(theirs.open());
        theirs.write("theirs");
        theirs.flush();
        QProcess holder;
        holder.start(u"xclip"_s, {u"-i"_s, u"-quiet"_s, u"-selection"_s, u"clipboard"_s, theirs.fileName()});
        QVERIFY(holder.waitForStarted());
        // Wait for the other program to own the clipboard without running our
        // event loop (which would bring our X time up to date).
        bool owned = false;
        for (int i = 0; i < 50 && !owned; ++i) {
            QProcess reader;
            reader.start(u"xclip"_s, {u"-o"_s, u"-selection"_s, u"clipboard"_s});
            if (!reader.waitForFinished(2000))
                reader.kill(), reader.waitForFinished();
            owned = reader.readAllStandardOutput() == "theirs";
            if (!owned)
                QThread::msleep(20);
        }
        QVERIFY(owned);

        QTest::ignoreMessage(QtWarningMsg, "QXcbClipboard::setMimeData: Cannot set X11 selection owner");
        QVERIFY(!lumo::platform::Clipboard().setText(u"refused"_s));

        holder.kill();
        holder.waitForFinished();
    }
};

QTEST_MAIN(ClipboardX11Test)
#include "clipboard_x11_test.moc"
