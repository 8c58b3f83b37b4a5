// A second yardstick for start-up: a bare window that shows a few lines of Chinese in a label,
// in Qt's default font. It pays what any window with Chinese text pays before its first frame
// (fontconfig, the font database, the CJK font and its glyphs) and nothing else.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("text-window"));
    window.resize(460, 271);
    auto *label = new QLabel(&window);
    label->setGeometry(8, 8, 444, 255);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(QStringLiteral("请输入要转换的内容。\n欢迎使用繁体签名制作工具!\n"
                                  "如在其他网站下载到本程序均属转载!不能保证是否被\n"
                                  "捆绑木马程序!为确保您的安全,请从正规渠道下载和\n"
                                  "获取本程序的最新版本."));
    window.show();
    return app.exec();
}
