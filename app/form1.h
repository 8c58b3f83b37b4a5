#pragma once

#include "conversion/conversion.h"
#include "platform/windowdef.h"

#include <QWidget>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lumo::app {

/// The main window's definition: caption, size and all 48 controls.
const platform::WindowDef &Form1Definition();

/// The default text of Text1 as defined (lines end in CR LF).
std::u16string_view Form1DefaultText();

/// The title of every message box of the program.
inline constexpr char16_t kMessageTitle[] = u"温馨提示\uFF1A";

/// The conversion behind Command1: ConvertText with Form1's variables.
conversion::ConvertResult Convert(std::u16string_view text, bool personalisedOff,
                                  conversion::ConversionVariables &vars);
using ConvertFunction = decltype(&Convert);
/// Replaces the conversion behind Command1 (tests; nullptr restores Convert).
void SetConvertFunction(ConvertFunction convert);

/// The main window. One process-wide instance, created on first use.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    /// The one instance, created (laid out, not shown) if it does not exist.
    static Form1 &Instance();
    /// The instance if it exists, without creating one.
    static Form1 *Existing();

    ~Form1() override;

    QPlainTextEdit *Text1() const { return m_text1; }
    QLineEdit *Text2() const { return m_text2; }
    QCheckBox *Check1() const { return m_check1; }
    /// A button of this window by its name, e.g. "Command12"; nullptr if there is none.
    QPushButton *Button(std::string_view name) const;

    /// The whole text of Text1, line breaks as "\n", every other character as typed.
    QString MainText() const;
    /// Replaces the whole text of Text1 as one undo step.
    void ReplaceMainText(const QString &text);

    /// Runs once after the controls exist and before the window is first shown.
    /// Returns false when the program is to end without showing the window.
    bool Form_Load();
    /// Runs when the window is about to close, for whatever reason.
    void Form_QueryUnload();

    /// The link labels: home page and forum in the user's browser.
    void Label1Click();
    void Label3Click();

    void Command1Click();
    /// Clear: empties Text1 as one undo step.
    void Command3Click();
    /// Copy: selects all of Text1 and puts the whole text on the clipboard.
    void Command4Click();
    /// Opens the emoticon palette.
    void Command16Click();
    /// Opens the symbol palette.
    void Command22Click();

    /// Empties the clipboard and puts the whole text of Text1 on it. When the
    /// clipboard cannot be written, tells the user and returns false.
    bool CopyTextToClipboard();
    /// Shows `message` once per run, driven by the flag in Text2.
    void ShowFirstUseTip(const QString &message);

    /// The conversion variables (ConvTextA, ConvTextB, ConvByteLength).
    conversion::ConversionVariables ConvVars;

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    Form1();

    QPlainTextEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QCheckBox *m_check1 = nullptr;
};

} // namespace lumo::app
