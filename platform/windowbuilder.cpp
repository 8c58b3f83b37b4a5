#include "platform/accessibility.h"
#include "platform/editmenu.h"
#include "platform/webpanel.h"
#include "platform/windowdef.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

namespace lumo::platform {

namespace {

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A multi-line text box whose context menu speaks the interface's language.
class TextBox final : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        const std::unique_ptr<QMenu> menu(CreateEditMenu(*this, event->pos()));
        menu->exec(event->globalPos());
    }
};

// A window's default button, with the rules of Windows dialogs: while another button has the
// focus, that button is the default one (Enter clicks it, as every focused button here does)
// and this one is not; otherwise Enter anywhere in the window clicks this one. Qt clicks a
// default button on Enter by itself only inside dialogs; key presses that no control takes
// reach the window, where this filter sees them.
class DefaultButtonRole final : public QObject {
  public:
    explicit DefaultButtonRole(QPushButton *button) : QObject(button), m_button(button)
    {
        button->setDefault(true);
        button->window()->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
            QWidget *window = m_button->window();
            if ((!old || old->window() != window) && (!now || now->window() != window))
                return;
            // The window's focus widget, which stays while the window is inactive.
            QWidget *focus = window->focusWidget();
            m_button->setDefault(!(qobject_cast<QPushButton *>(focus) && focus != m_button));
        });
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!m_button->isDefault() || !m_button->isEnabled())
            return false;
        m_button->click();
        return true;
    }

  private:
    QPushButton *m_button;
};

// What a frame's caption says of the controls in it: "转换内容：" names Text1 "转换内容".
QString LabelText(QString caption)
{
    caption.remove(u'&');
    while (caption.endsWith(u'\uFF1A') || caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

QWidget *CreateControl(const ControlDef &def, QWidget *parent)
{
    const QString caption = ToQString(def.caption);
    switch (def.type) {
    case ControlType::Frame:
        return new QGroupBox(caption, parent);
    case ControlType::TextBox:
        if (def.flags & MultiLine) {
            auto *box = new TextBox(parent);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setVerticalScrollBarPolicy((def.flags & VerticalScroll) ? Qt::ScrollBarAlwaysOn
                                                                         : Qt::ScrollBarAlwaysOff);
            // Tab moves the focus on, as in every other control of the window.
            box->setTabChangesFocus(true);
            box->setPlainText(caption);
            return box;
        } else {
            auto *box = new QLineEdit(caption, parent);
            box->setCursorPosition(0);
            return box;
        }
    case ControlType::Button: {
        auto *button = new QPushButton(caption, parent);
        // As on Windows, the focused button takes Enter (Space clicks any focused button).
        button->setAutoDefault(true);
        if (def.flags & DefaultButton)
            new DefaultButtonRole(button);
        return button;
    }
    case ControlType::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlType::Label: {
        auto *label = new QLabel(parent);
        if (def.flags & LinkLabel)
            MarkAsLink(*label);
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        // Labels draw from their top edge: the window's link labels reach past the
        // client area's bottom, and only their top part is meant to show.
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setFocusPolicy(Qt::NoFocus);
        if (def.flags & LinkLabel) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
            label->setPalette(palette);
            label->setCursor(Qt::UpArrowCursor);
        }
        return label;
    }
    case ControlType::WebPanel:
        // Blank until the window navigates it.
        return new WebPanel(parent);
    }
    return new QWidget(parent);
}

} // namespace

void BuildWindow(QWidget &window, const WindowDef &def)
{
    window.setWindowTitle(ToQString(def.caption));

    // Frames come first so that the controls inside them have their parent.
    std::vector<const ControlDef *> order;
    order.reserve(def.controls.size());
    for (const ControlDef &control : def.controls)
        if (control.type == ControlType::Frame)
            order.push_back(&control);
    for (const ControlDef &control : def.controls)
        if (control.type != ControlType::Frame)
            order.push_back(&control);

    std::vector<std::pair<const ControlDef *, QWidget *>> built;
    built.reserve(order.size());
    for (const ControlDef *control : order) {
        QWidget *parent = &window;
        if (!control->container.empty()) {
            const auto it = std::find_if(built.begin(), built.end(), [&](const auto &entry) {
                return entry.first->name == control->container;
            });
            if (it != built.end())
                parent = it->second;
        }
        QWidget *widget = CreateControl(*control, parent);
        widget->setObjectName(ToQString(control->name));
        widget->setGeometry(TwipsToPixels(control->left), TwipsToPixels(control->top),
                            TwipsToPixels(control->width), TwipsToPixels(control->height));
        if (!control->toolTip.empty())
            widget->setToolTip(ToQString(control->toolTip));
        if (!control->accessibleName.empty())
            widget->setAccessibleName(ToQString(control->accessibleName));
        else if (auto *frame = qobject_cast<QGroupBox *>(parent);
                 frame && control->type == ControlType::TextBox)
            widget->setAccessibleName(LabelText(frame->title()));
        if (control->flags & Invisible) {
            widget->setFocusPolicy(Qt::NoFocus);
            widget->setVisible(false);
        }
        built.emplace_back(control, widget);
    }

    // Tab order follows the tab indexes; controls that take no focus keep their place only.
    std::stable_sort(built.begin(), built.end(),
                     [](const auto &a, const auto &b) { return a.first->tabIndex < b.first->tabIndex; });
    QWidget *previous = nullptr;
    for (const auto &[control, widget] : built) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }

    const QSize client(TwipsToPixels(def.clientWidth), TwipsToPixels(def.clientHeight));
    window.setFixedSize(client);
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (def.minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    window.setWindowFlags(flags);
}

void PlaceWindow(QWidget &window, const WindowDef &def)
{
    if (def.placement == Placement::Fixed) {
        // The stored place is the client area's; move() would put the frame there.
        window.setGeometry(QRect(QPoint(TwipsToPixels(def.left), TwipsToPixels(def.top)), window.size()));
        return;
    }
    QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Centre the client area (setGeometry places the client area, move() the frame);
    // the window manager adds its frame around it.
    const QRect available = screen->availableGeometry();
    QRect client(QPoint(0, 0), window.size());
    client.moveCenter(available.center());
    window.setGeometry(client);
}

} // namespace lumo::platform
