#include "platform/clicks.h"

#include <QMouseEvent>
#include <QWidget>

namespace lumo::platform {

namespace {

// Lives as a child of the widget it watches, so it goes with it.
class ClickFilter final : public QObject {
  public:
    ClickFilter(QWidget &widget, std::function<void()> handler)
        : QObject(&widget), m_widget(widget), m_handler(std::move(handler))
    {
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &m_widget)
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressed = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = m_pressed && mouse->button() == Qt::LeftButton &&
                               m_widget.rect().contains(mouse->position().toPoint());
            m_pressed = false;
            if (click)
                m_handler();
        }
        return false;
    }

  private:
    QWidget &m_widget;
    std::function<void()> m_handler;
    bool m_pressed = false;
};

} // namespace

void OnClick(QWidget &widget, std::function<void()> handler)
{
    new ClickFilter(widget, std::move(handler));
}

} // namespace lumo::platform
