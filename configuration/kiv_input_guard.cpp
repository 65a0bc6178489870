#include "kiv_input_guard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace kiv_input_guard {

namespace {

class WheelFilter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Wheel || !widget || widget->hasFocus())
            return false;
        // The page under the field scrolls, as if the field were not there.
        for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
            if (auto* area = qobject_cast<QAbstractScrollArea*>(up)) {
                QCoreApplication::sendEvent(area->verticalScrollBar(), event);
                break;
            }
        }
        return true;
    }
};

class RangeMarker : public QObject
{
public:
    explicit RangeMarker(QLineEdit* field)
        : QObject(field)
        , m_field(field)
    {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &RangeMarker::Update);
        UpdateTip();
        Update();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_field && event->type() == QEvent::LanguageChange)
            UpdateTip();
        return false;
    }

private:
    const QIntValidator* Validator() const { return qobject_cast<const QIntValidator*>(m_field->validator()); }

    void UpdateTip()
    {
        if (const QIntValidator* range = Validator())
            m_field->setToolTip(QCoreApplication::translate("QObject", "Allowed: %1 to %2")
                                    .arg(range->bottom())
                                    .arg(range->top()));
    }

    void Update()
    {
        const QIntValidator* range = Validator();
        bool number = false;
        const int value = m_field->text().toInt(&number);
        // An empty field is one being typed into, not a wrong number.
        const bool outside = range && !m_field->text().isEmpty()
                             && (!number || value < range->bottom() || value > range->top());
        if (m_field->property("kivOutOfRange").toBool() == outside)
            return;
        m_field->setProperty("kivOutOfRange", outside);
        // Property selectors of a style sheet are matched at polish time only.
        m_field->style()->unpolish(m_field);
        m_field->style()->polish(m_field);
        m_field->update();
    }

    QLineEdit* m_field;
};

class BlankClick : public QObject
{
public:
    BlankClick(QWidget* widget, std::function<bool()> isBlank, std::function<void()> action)
        : QObject(widget)
        , m_isBlank(std::move(isBlank))
        , m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !widget->rect().contains(mouse->pos()) || !m_isBlank())
            return false;
        m_action();
        return true;
    }

private:
    std::function<bool()> m_isBlank;
    std::function<void()> m_action;
};

} // namespace

void GuardWheel(QWidget* root)
{
    auto* filter = new WheelFilter(root);
    const auto guard = [filter](QWidget* field) {
        // A wheel turn must not hand the field focus either.
        field->setFocusPolicy(Qt::StrongFocus);
        field->installEventFilter(filter);
    };
    for (QComboBox* combo : root->findChildren<QComboBox*>())
        guard(combo);
    for (QAbstractSpinBox* spin : root->findChildren<QAbstractSpinBox*>())
        guard(spin);
}

void KeepOnlyDefault(QWidget* root, QPushButton* defaultButton)
{
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(button == defaultButton);
    }
}

void MarkOutOfRange(QLineEdit* field)
{
    new RangeMarker(field);
}

void OpenOnBlankClick(QWidget* widget, std::function<bool()> isBlank, std::function<void()> action)
{
    new BlankClick(widget, std::move(isBlank), std::move(action));
}

} // namespace kiv_input_guard
