#pragma once

/// \file
/// The client's modal message box.

#include "kiv_host_global.h"

#include <QDialog>

class QLabel;
class QPushButton;

/**
 * The client's modal message box, with the buttons "ok" and "cancel" (both
 * shown unless hidden).
 *
 * The panel uses it on the GUI thread, always the same way: construct on the
 * stack, setText(), setButtonText() / setButtonVisible(), exec(), test for 1.
 */
class KIV_HOST_EXPORT kiv_messagebox_dialog : public QDialog
{
    Q_OBJECT
public:
    /// A box; the panel passes a null parent, or itself where the box belongs to it.
    explicit kiv_messagebox_dialog(QWidget* parent = nullptr);
    /// A box with the host's \p flag, whose meaning belongs to the host (the
    /// stand-in keeps it and ignores it). The panel's plugin boxes pass whether the
    /// panel was given a parent widget.
    kiv_messagebox_dialog(bool flag, QWidget* parent = nullptr);
    /// Destroys the box.
    ~kiv_messagebox_dialog() override;

    /// Sets the message, already translated.
    void setText(const QString& text);
    /// The message as set.
    QString text() const;
    /// Labels the button \p id ("ok" or "cancel"); other ids are ignored.
    void setButtonText(const QString& id, const QString& text);
    /// Shows or hides the button \p id ("ok" or "cancel"); other ids are ignored.
    void setButtonVisible(const QString& id, bool visible);

    /// Runs the box modally: 1 for "ok", 0 for "cancel" or closing.
    int exec() override;

private:
    QPushButton* button(const QString& id) const;

    QLabel* m_text = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_flag = false;
};
