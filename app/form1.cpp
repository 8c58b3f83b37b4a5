#include "app/form1.h"

#include "platform/clipboard.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace lumo::app {

using namespace Qt::StringLiterals;

namespace {

QPointer<Form1> g_form1;

// Message box style words: low four bits buttons, next four bits icon.
constexpr int kStyleExclamation = 48;
constexpr int kStyleTip = 44;

const QString kTitle = QString::fromUtf16(kMessageTitle);
const QString kEmptyWarning = u"内容为空,请输入要转换的内容."_s;
const QString kPersonalisedTip = u"转换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;
const QString kPlainTip = u"换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;
const QString kClipboardFailed =
    u"无法写入剪贴板，转换结果没有复制。\n可能有其他程序正在使用剪贴板，请稍后点击\u201C复制\u201D再试。"_s;
const QString kConversionFailed = u"转换失败，内容没有改动。"_s;

} // namespace

Form1 &Form1::Instance()
{
    if (!g_form1)
        g_form1 = new Form1;
    return *g_form1;
}

Form1 *Form1::Existing() { return g_form1.data(); }

Form1::Form1()
{
    setAttribute(Qt::WA_DeleteOnClose);
    platform::BuildWindow(*this, Form1Definition());
    m_text1 = findChild<QPlainTextEdit *>(u"Text1"_s);
    m_text2 = findChild<QLineEdit *>(u"Text2"_s);
    m_check1 = findChild<QCheckBox *>(u"Check1"_s);

    connect(Button("Command1"), &QPushButton::clicked, this, &Form1::Command1Click);
}

Form1::~Form1() = default;

QPushButton *Form1::Button(std::string_view name) const
{
    return findChild<QPushButton *>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

QString Form1::MainText() const
{
    // toPlainText() would also turn no-break spaces into plain spaces; only the
    // paragraph separators between lines are ours to translate.
    QString text = m_text1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void Form1::ReplaceMainText(const QString &text)
{
    QTextCursor cursor(m_text1->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
}

bool Form1::Form_Load()
{
    // The start-up steps (pre-selection, single-instance guard, first-use flag,
    // advert panel) are added here.
    return true;
}

void Form1::Form_QueryUnload()
{
    // Closing the main window also closes the palettes: added here.
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    QWidget::closeEvent(event);
}

void Form1::Command1Click()
{
    const QString text = MainText();
    if (text.isEmpty()) {
        platform::MessageBoxes().show(this, kEmptyWarning, kTitle, kStyleExclamation);
        return;
    }
    const bool personalisedOff = m_check1->isChecked();
    const conversion::ConvertResult result =
        conversion::ConvertText(text.toStdU16String(), personalisedOff, ConvVars);
    if (!result.ok) {
        // Keep the user's text rather than write back whatever a failed mapping left.
        QString message = kConversionFailed;
        if (!result.error.empty())
            message += u"\n"_s + QString::fromStdString(result.error);
        platform::MessageBoxes().show(this, message, kTitle, kStyleExclamation);
        return;
    }
    ReplaceMainText(QString::fromStdU16String(result.text));
    if (!CopyTextToClipboard())
        return;
    ShowFirstUseTip(personalisedOff ? kPlainTip : kPersonalisedTip);
}

bool Form1::CopyTextToClipboard()
{
    if (platform::Clipboard().setText(MainText()))
        return true;
    platform::MessageBoxes().show(this, kClipboardFailed, kTitle, kStyleExclamation);
    return false;
}

void Form1::ShowFirstUseTip(const QString &message)
{
    if (m_text2->text() != u"0"_s)
        return;
    m_text2->setText(u"1"_s);
    platform::MessageBoxes().show(this, message, kTitle, kStyleTip);
}

} // namespace lumo::app
