#include "kiv_window_chrome.h"

#include "kiv_platform.h"

#include <QDialog>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QSizeGrip>
#include <QVBoxLayout>

namespace kiv_window_chrome {

namespace {

// Follows the frame's size with the grip.
class GripPlacer : public QObject
{
public:
    GripPlacer(QWidget* frame, QSizeGrip* grip)
        : QObject(frame)
        , m_grip(grip)
    {
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) {
            auto* frame = static_cast<QWidget*>(watched);
            m_grip->move(frame->width() - m_grip->width(), frame->height() - m_grip->height());
            m_grip->raise();
        }
        return false;
    }

private:
    QSizeGrip* m_grip;
};

} // namespace

int shadowMargin()
{
    return kiv_platform::windowsAreTranslucent() ? kShadowMargin : 0;
}

void applyFrameShadow(QDialog* dialog, QWidget* frame)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog->setAttribute(Qt::WA_TranslucentBackground);
    auto* shadow = new QGraphicsDropShadowEffect(dialog);
    shadow->setOffset(0, 0);
    shadow->setColor(Qt::black);
    shadow->setBlurRadius(12);
    frame->setGraphicsEffect(shadow);
    // Everything visible sits on the frame: without a skin it must not be
    // see-through (black where nothing composes the window).
    frame->setAutoFillBackground(true);
    updateFrame(dialog, frame);
}

void updateFrame(QDialog* dialog, QWidget* frame)
{
    const int margin = shadowMargin();
    if (QLayout* layout = dialog->layout())
        layout->setContentsMargins(margin, margin, margin, margin);
    if (QGraphicsEffect* shadow = frame->graphicsEffect())
        shadow->setEnabled(margin > 0);
}


namespace {

// Wraps its pages once, at the window's first polish, then goes.
class PageScroller : public QObject
{
public:
    PageScroller(QWidget* window, const QList<QWidget*>& pages)
        : QObject(window)
    {
        for (QWidget* page : pages)
            m_pages << page;
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish) {
            watched->removeEventFilter(this);
            for (const QPointer<QWidget>& page : qAsConst(m_pages)) {
                if (page)
                    scrollPage(page);
            }
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QPointer<QWidget>> m_pages;
};

} // namespace

void scrollPagesWhenPolished(QWidget* window, const QList<QWidget*>& pages)
{
    new PageScroller(window, pages);
}

void scrollPage(QWidget* page)
{
    auto* old = qobject_cast<QVBoxLayout*>(page->layout());
    if (!old)
        return;
    auto* content = new QWidget;
    content->setObjectName(page->objectName() + QStringLiteral("Content"));
    auto* box = new QVBoxLayout(content);
    box->setContentsMargins(old->contentsMargins());
    box->setSpacing(old->spacing());
    while (old->count() > 0) {
        const int stretch = old->stretch(0);
        QLayoutItem* item = old->takeAt(0);
        if (QWidget* widget = item->widget()) {
            box->addWidget(widget, stretch, item->alignment());
            delete item;
        } else if (QLayout* layout = item->layout()) {
            box->addLayout(layout, stretch);
        } else {
            box->addItem(item);
            box->setStretch(box->count() - 1, stretch);
        }
    }
    delete old;
    auto* area = new QScrollArea;
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

void addSizeGrip(QWidget* frame)
{
    // A grip of the frame, not of the dialog, whose corner lies in the
    // transparent margin. It hides itself while the window is maximised.
    auto* grip = new QSizeGrip(frame);
    grip->setObjectName(QStringLiteral("sizeGrip"));
    grip->resize(grip->sizeHint());
    new GripPlacer(frame, grip);
}

void fitScreen(QDialog* dialog, const QSize& formMinimum)
{
    QScreen* screen = dialog->parentWidget() ? dialog->parentWidget()->screen() : dialog->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    dialog->setMinimumSize(formMinimum.boundedTo(area.size()));
    dialog->resize(dialog->size().boundedTo(area.size()).expandedTo(dialog->minimumSize()));
    // A position the user chose stays, as far as the screen allows.
    if (dialog->testAttribute(Qt::WA_Moved)) {
        QRect frame(dialog->pos(), dialog->size());
        frame.moveRight(qMin(frame.right(), area.right()));
        frame.moveBottom(qMin(frame.bottom(), area.bottom()));
        frame.moveLeft(qMax(frame.left(), area.left()));
        frame.moveTop(qMax(frame.top(), area.top()));
        dialog->move(frame.topLeft());
    }
}

} // namespace kiv_window_chrome
