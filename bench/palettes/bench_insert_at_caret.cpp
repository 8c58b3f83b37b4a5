// Cost of one symbol click in a long text: button click to caret placed.
// Run on the offscreen platform: QT_QPA_PLATFORM=offscreen ./bench_insert_at_caret
#include "palettes/insert_at_caret.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTextLength = 1 << 20; // 1 Mi characters

// A long signature collection: lines of Chinese text with line breaks, or one
// paragraph without any (the worst case for the text layout).
QString LongText(bool lineBreaks)
{
    const QString line = u"请输入要转换的内容。欢迎使用个性繁体签名制作工具，祝你玩得开心！"_s;
    QString text;
    text.reserve(kTextLength);
    while (text.size() < kTextLength) {
        text += line;
        if (lineBreaks)
            text += u'\n';
    }
    text.truncate(kTextLength);
    return text;
}

struct Fixture {
    QPlainTextEdit box;
    QPushButton button{u"\u2606"_s};

    Fixture(bool lineBreaks, bool shown)
    {
        box.resize(305, 137); // the main text box's size
        box.setPlainText(LongText(lineBreaks));
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(kTextLength / 2);
        box.setTextCursor(cursor);
        const QString symbol = button.text();
        QObject::connect(&button, &QPushButton::clicked, &box,
                         [this, symbol] { lumo::palettes::InsertAtCaret(&box, symbol); });
        if (shown) {
            box.show();
            QApplication::processEvents();
        }
    }
};

const char *Label(const benchmark::State &state)
{
    return state.range(0) ? "lines" : "one paragraph";
}

// Moves the caret on to another line between two timed clicks, so that one
// line does not grow longer and longer over the run. Not timed.
void NextCaret(QPlainTextEdit &box, int &caret)
{
    caret = (caret + 4099) % kTextLength;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(caret);
    box.setTextCursor(cursor);
    QApplication::processEvents();
}

// Runs `action` once per iteration and times it alone.
template <typename Action> void Timed(benchmark::State &state, Fixture &fixture, Action action)
{
    int caret = kTextLength / 2;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        action();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        NextCaret(fixture.box, caret);
    }
    state.SetLabel(Label(state));
}

// Click to caret placed; the event loop runs between clicks, as in the program.
void BM_Click(benchmark::State &state)
{
    Fixture fixture(state.range(0) != 0, true);
    Timed(state, fixture, [&] { fixture.button.click(); });
}
BENCHMARK(BM_Click)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Click to the changed part laid out and painted again.
void BM_ClickAndRepaint(benchmark::State &state)
{
    Fixture fixture(state.range(0) != 0, true);
    Timed(state, fixture, [&] {
        fixture.button.click();
        QApplication::processEvents();
    });
}
BENCHMARK(BM_ClickAndRepaint)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

// For comparison: one character typed at the same place, painted.
void BM_TypeCharacter(benchmark::State &state)
{
    Fixture fixture(state.range(0) != 0, true);
    Timed(state, fixture, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QApplication::sendEvent(&fixture.box, &press);
        QApplication::processEvents();
    });
}
BENCHMARK(BM_TypeCharacter)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond);

// For comparison: the same click done by rewriting the whole text.
void BM_WholeTextRewrite(benchmark::State &state)
{
    Fixture fixture(true, true);
    for (auto _ : state) {
        QPlainTextEdit &box = fixture.box;
        const int caret = box.textCursor().selectionStart();
        QString text = box.toPlainText();
        text.insert(caret, fixture.button.text());
        box.setPlainText(text);
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(caret + 1);
        box.setTextCursor(cursor);
        QApplication::processEvents();
    }
    state.SetLabel("lines");
}
BENCHMARK(BM_WholeTextRewrite)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
