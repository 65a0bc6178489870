#include "kiv_messagebox_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

kiv_messagebox_dialog::kiv_messagebox_dialog(QWidget* parent)
    : kiv_messagebox_dialog(false, parent)
{
}

kiv_messagebox_dialog::kiv_messagebox_dialog(bool flag, QWidget* parent)
    : QDialog(parent)
    , m_flag(flag)
{
    setObjectName(QStringLiteral("kiv_messagebox_dialog"));
    setModal(true);
    setMinimumWidth(320);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

kiv_messagebox_dialog::~kiv_messagebox_dialog() = default;

void kiv_messagebox_dialog::setText(const QString& text)
{
    m_text->setText(text);
}

QString kiv_messagebox_dialog::text() const
{
    return m_text->text();
}

QPushButton* kiv_messagebox_dialog::button(const QString& id) const
{
    if (id == QLatin1String("ok"))
        return m_ok;
    if (id == QLatin1String("cancel"))
        return m_cancel;
    return nullptr;
}

void kiv_messagebox_dialog::setButtonText(const QString& id, const QString& text)
{
    if (QPushButton* b = button(id))
        b->setText(text);
}

void kiv_messagebox_dialog::setButtonVisible(const QString& id, bool visible)
{
    if (QPushButton* b = button(id))
        b->setVisible(visible);
}

int kiv_messagebox_dialog::exec()
{
    return QDialog::exec() == QDialog::Accepted ? 1 : 0;
}
