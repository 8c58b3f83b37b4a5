#include "platform/accessibility.h"

#include "platform/charnames.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <vector>

namespace lumo::platform {

namespace {

constexpr char kLinkProperty[] = "lumoLink";

// A link label: role Link, named by its text, pressed like a click with the mouse.
class AccessibleLink final : public QAccessibleWidget {
  public:
    explicit AccessibleLink(QLabel *label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty())
            value = static_cast<QLabel *>(widget())->text();
        return value;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &action) override
    {
        if (action != pressAction())
            return;
        // The label's click handler listens to the mouse; a press and a release over it.
        QWidget *label = widget();
        const QPointF centre = QRectF(label->rect()).center();
        const QPointF global = label->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(label, &release);
    }
};

// A message box is an alert: its title is its name and its message its description, so a
// screen reader reads the message as the box appears.
class AccessibleAlert final : public QAccessibleWidget {
  public:
    explicit AccessibleAlert(QMessageBox *box) : QAccessibleWidget(box, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<QMessageBox *>(widget());
        if (t == QAccessible::Name)
            return box->windowTitle();
        if (t == QAccessible::Description)
            return box->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    if (className == u"QLabel" && object->property(kLinkProperty).toBool())
        return new AccessibleLink(static_cast<QLabel *>(object));
    if (className == u"QMessageBox")
        return new AccessibleAlert(static_cast<QMessageBox *>(object));
    return nullptr;
}

// Buttons waiting for their character names until assistive technology becomes active.
class CharacterNamer final : public QAccessible::ActivationObserver {
  public:
    void add(QAbstractButton &button)
    {
        if (m_active || QAccessible::isActive()) {
            Name(button);
            return;
        }
        if (!m_installed) {
            QAccessible::installActivationObserver(this);
            m_installed = true;
        }
        std::erase_if(m_pending, [](const QPointer<QAbstractButton> &b) { return b.isNull(); });
        m_pending.emplace_back(&button);
    }

    void accessibilityActiveChanged(bool active) override
    {
        // The platform reports the change here before isActive() says so, if it ever does.
        m_active = active;
        if (!active)
            return;
        for (const QPointer<QAbstractButton> &button : m_pending)
            if (button)
                Name(*button);
        m_pending.clear();
    }

  private:
    static void Name(QAbstractButton &button) { button.setAccessibleName(CharacterNames(button.text())); }

    std::vector<QPointer<QAbstractButton>> m_pending;
    bool m_installed = false;
    bool m_active = false;
};

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void MarkAsLink(QWidget &label)
{
    InstallAccessibleInterfaces();
    // Before the label gets its text: Qt makes the label's interface as the text is set.
    label.setProperty(kLinkProperty, true);
}

void SpeakAsCharacterNames(QAbstractButton &button)
{
    static CharacterNamer namer;
    namer.add(button);
}

} // namespace lumo::platform
