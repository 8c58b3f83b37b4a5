// Converting a large text in the main window: from the click of Command1 to the
// result shown in Text1 and on the clipboard. Run under xvfb-run for the real X
// clipboard (see BENCHMARKS.md).
#include "app/form1.h"
#include "app/lookandfeel.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

class SilentBoxes final : public lumo::platform::MessageBoxService {
  public:
    void show(QWidget *, const QString &text, const QString &, int) override { last = text; }
    QString last;
};

// About `bytes` of UTF-8: everyday Simplified sentences with digits, in lines.
QString SampleText(qsizetype bytes)
{
    static const QString kSentences[] = {
        u"我们的签名要与众不同，"_s,         u"今天是2010年的第一天。"_s,
        u"这个世界上没有什么是不可能的！"_s, u"爱你一万年，永远不变心。"_s,
        u"你是我的唯一，我会一直陪着你。"_s, u"天天开心，快乐每一天！"_s,
        u"学习使我快乐，工作使我充实。"_s,   u"请输入要转换的内容，谢谢。"_s,
    };
    QString text;
    for (int i = 0; text.toUtf8().size() < bytes; ++i) {
        for (int j = 0; j < 64; ++j)
            text += kSentences[(i * 7 + j * 3) % 8] + ((j % 4 == 3) ? u"\n"_s : QString());
    }
    return text;
}

const QString &Sample()
{
    static const QString text = SampleText(1 << 20);
    return text;
}

void ConvertInWindow(benchmark::State &state, bool personalisedOff)
{
    lumo::app::Form1 &form = lumo::app::Form1::Instance();
    form.Check1()->setChecked(personalisedOff);
    form.Text2()->setText(u"1"_s); // no tip
    for (auto _ : state) {
        state.PauseTiming();
        form.Text1()->setPlainText(Sample());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form.Command1Click();
        QCoreApplication::processEvents(); // paint the result
        benchmark::DoNotOptimize(QGuiApplication::clipboard()->text().size());
    }
    if (form.MainText() == Sample() || QGuiApplication::clipboard()->text() != form.MainText())
        state.SkipWithError("the text was not converted and copied");
    state.SetBytesProcessed(state.iterations() * Sample().toUtf8().size());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    lumo::app::ApplyLookAndFeel(app);
    SilentBoxes boxes;
    lumo::platform::SetMessageBoxService(&boxes);
    lumo::app::Form1 &form = lumo::app::Form1::Instance();
    form.show();
    QCoreApplication::processEvents();

    // The first conversion of a run also loads the mapping dictionaries.
    form.Text1()->setPlainText(u"我们的"_s);
    QElapsedTimer timer;
    timer.start();
    form.Command1Click();
    std::printf("first conversion of a run (short text): %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    if (!boxes.last.isEmpty() && !boxes.last.startsWith(u"转换后"_s))
        std::printf("note: %s\n", qPrintable(boxes.last));
    std::printf("sample: %lld characters, %lld bytes of UTF-8\n", (long long)Sample().size(),
                (long long)Sample().toUtf8().size());

    benchmark::RegisterBenchmark("Form1/Convert1MB/personalised", ConvertInWindow, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Form1/Convert1MB/plain", ConvertInWindow, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete lumo::app::Form1::Existing();
    return 0;
}
