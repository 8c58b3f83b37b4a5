// Every character that a button of the three windows shows, and every look-alike that the
// conversion writes into Text1, is drawn from an installed font: the test lays out each
// character with the widget's own font, as the widget would draw it, and asks the font that
// Qt's fallback ends up with whether it has the character. Only the two control characters
// may show no glyph.

#include "app/form1.h"
#include "app/lookandfeel.h"
#include "conversion/personalised_table.h"
#include "palettes/form2.h"
#include "palettes/form3.h"

#include <QApplication>
#include <QGlyphRun>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

struct Missing {
    QString where;
    char32_t character;
    QString font;
};

// The fonts a layout with `font` draws `character` in, and whether each has a glyph for it.
void Check(const QFont &font, char32_t character, const QString &where, QList<Missing> &missing)
{
    const QString text = QString::fromUcs4(&character, 1);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty()) {
        missing.append({where, character, u"(no glyph run)"_s});
        return;
    }
    for (const QGlyphRun &run : runs) {
        const QRawFont raw = run.rawFont();
        const bool drawn = raw.supportsCharacter(character) &&
                           std::all_of(run.glyphIndexes().cbegin(), run.glyphIndexes().cend(),
                                       [](quint32 glyph) { return glyph != 0; });
        if (!drawn)
            missing.append({where, character, raw.familyName()});
    }
}

void CheckButtons(QWidget &window, QList<Missing> &missing)
{
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        QString caption = button->text();
        caption.remove(u'&');
        for (char32_t c : caption.toUcs4()) {
            if (c < 0x20 || c == u' ')
                continue; // the control characters are drawn as the platform likes
            Check(button->font(), c,
                  QString::fromLatin1(window.metaObject()->className()) + u" "_s + button->objectName(),
                  missing);
        }
    }
}

QString Report(const QList<Missing> &missing)
{
    QStringList lines;
    for (const Missing &m : missing)
        lines << u"%1: U+%2 not in font \"%3\""_s.arg(m.where)
                     .arg(quint32(m.character), 4, 16, QChar(u'0'))
                     .arg(m.font);
    return lines.join(u'\n');
}

} // namespace

class GlyphsTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { lumo::app::ApplyLookAndFeel(*qApp); }

    void buttonsOfEveryWindow()
    {
        QList<Missing> missing;
        lumo::app::Form1 &form1 = lumo::app::Form1::Instance();
        CheckButtons(form1, missing);
        CheckButtons(lumo::palettes::Form2::Instance(), missing);
        CheckButtons(lumo::palettes::Form3::Instance(), missing);
        QVERIFY2(missing.isEmpty(), qPrintable(Report(missing)));
        // The check sees a missing glyph: a private-use character no font of ours has.
        Check(form1.Button("Command1")->font(), U'\U000F0000', u"probe"_s, missing);
        QCOMPARE(missing.size(), 1);
    }

    void lookAlikesInText1()
    {
        QList<Missing> missing;
        const QFont font = lumo::app::Form1::Instance().Text1()->font();
        for (const auto &row : lumo::conversion::PersonalisedTable) {
            const QString replacement = QString::fromUtf16(row.replace.data(), qsizetype(row.replace.size()));
            for (char32_t c : replacement.toUcs4())
                Check(font, c, u"look-alike for "_s + QString::fromUtf16(row.find.data(), row.find.size()),
                      missing);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(Report(missing)));
    }

    void cleanupTestCase()
    {
        delete lumo::palettes::Form2::Existing();
        delete lumo::palettes::Form3::Existing();
        delete lumo::app::Form1::Existing();
    }
};

QTEST_MAIN(GlyphsTest)
#include "glyphs_test.moc"
