#include "app/form1.h"

#include "palettes/form2.h"
#include "palettes/form3.h"
#include "palettes/insert_at_caret.h"
#include "palettes/main_symbols.h"
#include "palettes/palette_buttons.h"
#include "platform/clicks.h"
#include "platform/clipboard.h"
#include "platform/instance_guard.h"
#include "platform/messagebox.h"
#include "platform/urllauncher.h"
#include "platform/webpanel.h"
#include "resources/product.h"

#include <QAbstractUndoItem>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cstdio>

namespace lumo::app {

using namespace Qt::StringLiterals;

namespace {

QPointer<Form1> g_form1;
ConvertFunction g_convert = nullptr;

struct Selection {
    int anchor = 0;
    int position = 0;
};

Selection SelectionOf(const QPlainTextEdit &edit)
{
    const QTextCursor cursor = edit.textCursor();
    return {cursor.anchor(), cursor.position()};
}

void Select(QPlainTextEdit &edit, Selection selection)
{
    QTextCursor cursor = edit.textCursor();
    const int end = cursor.document()->characterCount() - 1;
    cursor.setPosition(std::clamp(selection.anchor, 0, end));
    cursor.setPosition(std::clamp(selection.position, 0, end), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

// Part of the replacement's undo step: undoing it puts back the caret and
// selection the user had before, redoing it the caret after the replacement.
// The text edit moves its caret itself once the document has undone the step,
// so ours is applied right after that.
class SelectionUndoItem final : public QAbstractUndoItem {
  public:
    SelectionUndoItem(QPlainTextEdit *edit, Selection before, Selection after)
        : m_edit(edit), m_before(before), m_after(after)
    {
    }
    void undo() override { Restore(m_before); }
    void redo() override { Restore(m_after); }

  private:
    void Restore(Selection selection)
    {
        QPointer<QPlainTextEdit> edit = m_edit;
        QMetaObject::invokeMethod(
            edit.data(),
            [edit, selection] {
                if (edit)
                    Select(*edit, selection);
            },
            Qt::QueuedConnection);
    }

    QPointer<QPlainTextEdit> m_edit;
    Selection m_before, m_after;
};

// Message box style words: low four bits buttons, next four bits icon.
constexpr int kStyleExclamation = 48;
constexpr int kStyleTip = 44;
constexpr int kStyleInformation = 64;

const QString kTitle = QString::fromUtf16(kMessageTitle);
const QString kEmptyWarning = u"内容为空,请输入要转换的内容."_s;
const QString kPersonalisedTip = u"转换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;
const QString kPlainTip = u"换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;
// Shared by the conversion and the copy command, so it names neither.
const QString kClipboardFailed =
    u"无法写入剪贴板，内容没有复制。\n可能有其他程序正在使用剪贴板，请稍后点击\u201C复制\u201D再试。"_s;
const QString kConversionFailed = u"转换失败，内容没有改动。"_s;
const QString kSecondInstance = u"请唔好双开。"_s;

} // namespace

conversion::ConvertResult Convert(std::u16string_view text, bool personalisedOff,
                                  conversion::ConversionVariables &vars)
{
    return conversion::ConvertText(text, personalisedOff, vars);
}

void SetConvertFunction(ConvertFunction convert)
{
    g_convert = convert;
}

Form1 &Form1::Instance()
{
    if (!g_form1)
        g_form1 = new Form1;
    return *g_form1;
}

Form1 *Form1::Existing()
{
    return g_form1.data();
}

Form1::Form1()
{
    setAttribute(Qt::WA_DeleteOnClose);
    platform::BuildWindow(*this, Form1Definition());
    m_text1 = findChild<QPlainTextEdit *>(u"Text1"_s);
    m_text2 = findChild<QLineEdit *>(u"Text2"_s);
    m_check1 = findChild<QCheckBox *>(u"Check1"_s);

    connect(Button("Command1"), &QPushButton::clicked, this, &Form1::Command1Click);
    platform::OnClick(*findChild<QWidget *>(u"Label1"_s), [this] { Label1Click(); });
    platform::OnClick(*findChild<QWidget *>(u"Label3"_s), [this] { Label3Click(); });
    connect(Button("Command3"), &QPushButton::clicked, this, &Form1::Command3Click);
    connect(Button("Command4"), &QPushButton::clicked, this, &Form1::Command4Click);
    connect(Button("Command16"), &QPushButton::clicked, this, &Form1::Command16Click);
    connect(Button("Command22"), &QPushButton::clicked, this, &Form1::Command22Click);

    // The quick-insert buttons show what they insert: each inserts its caption.
    palettes::ConnectPaletteButtons(*this, palettes::MainWindowSymbols(), palettes::SpokenAs::CharacterNames);

    // The palettes always write into this window's Text1. Should they outlive
    // the window, the main window is made again, loaded but hidden.
    palettes::SetMainTextProvider([] {
        if (Form1 *form = Existing())
            return form->Text1();
        Form1 &form = Instance();
        form.Form_Load();
        return form.Text1();
    });
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
    // Like assigning a text box's whole text, the caret goes to the start.
    const Selection after{0, 0};
    QTextDocument *document = m_text1->document();
    QTextCursor cursor(document);
    const Selection before = SelectionOf(*m_text1);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    // Last in the step, so that typing right after the result's end is not merged into
    // the replacement's step (undoing it would take the typing and the conversion together).
    document->appendUndoItem(new SelectionUndoItem(m_text1, before, after));
    cursor.endEditBlock();
    Select(*m_text1, after);
}

bool Form1::Form_Load()
{
    // The whole default text selected and the focus in Text1: the first
    // keystroke or paste replaces it. The caret stays at 0, so the window
    // opens on the first lines of the text.
    QTextCursor cursor = m_text1->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.setPosition(0, QTextCursor::KeepAnchor);
    m_text1->setTextCursor(cursor);
    m_text1->setFocus();

    if (platform::Instances().anotherInstanceRunning()) {
        // No window of ours is visible yet, so the box has no parent.
        platform::MessageBoxes().show(nullptr, kSecondInstance, kTitle, kStyleInformation);
        return false;
    }

    m_text2->setText(u"0"_s);
    findChild<platform::WebPanel *>(u"WebBrowser1"_s)
        ->Navigate(QUrl(QString::fromLatin1(product::kAdvertUrl)));
    return true;
}

void Form1::Form_QueryUnload()
{
    // Only palettes that are open: Existing() never creates one.
    if (palettes::Form2 *form2 = palettes::Form2::Existing())
        form2->close();
    if (palettes::Form3 *form3 = palettes::Form3::Existing())
        form3->close();
}

void Form1::Label1Click()
{
    platform::Urls().open(QUrl(QString::fromLatin1(product::kHomePageUrl)));
}

void Form1::Label3Click()
{
    platform::Urls().open(QUrl(QString::fromLatin1(product::kForumUrl)));
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
    // A view of the text, not a copy of it (2 MB for a 1 MB text).
    const std::u16string_view source(reinterpret_cast<const char16_t *>(text.utf16()),
                                     static_cast<std::size_t>(text.size()));
    const conversion::ConvertResult result =
        (g_convert ? g_convert : Convert)(source, personalisedOff, ConvVars);
    if (!result.ok) {
        // Keep the user's text rather than write back whatever a failed mapping left.
        // The box speaks the user's language; the technical detail goes to standard error.
        if (!result.error.empty())
            std::fprintf(stderr, "lumo: %s\n", result.error.c_str());
        platform::MessageBoxes().show(this, kConversionFailed, kTitle, kStyleExclamation);
        return;
    }
    ReplaceMainText(QString::fromStdU16String(result.text));
    if (!CopyTextToClipboard())
        return;
    ShowFirstUseTip(personalisedOff ? kPlainTip : kPersonalisedTip);
}

void Form1::Command3Click()
{
    // A cursor edit rather than clear(), which would also wipe the undo
    // history: Ctrl+Z brings the text back after a slip of Alt+X for Alt+C.
    QTextCursor cursor(m_text1->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    m_text1->setTextCursor(cursor);
}

void Form1::Command4Click()
{
    // Select all first: what is copied is always the whole text, and the
    // selection stays to show it.
    m_text1->selectAll();
    CopyTextToClipboard();
}

void Form1::Command16Click()
{
    palettes::Form3::Open();
}

void Form1::Command22Click()
{
    palettes::Form2::Open();
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
