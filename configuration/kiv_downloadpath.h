#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <memory>

class QListWidgetItem;

namespace Ui {
class kiv_download_path;
}

// Lets the user compose the download sub-folder pattern from a fixed set of
// tokens: check the tokens to use, order them by drag and drop, type the text
// that "Customize" stands for, and watch the resulting path in a preview.
class kiv_downloadpath : public QDialog
{
    Q_OBJECT
public:
    kiv_downloadpath(QStringList pattern, QString customText, QWidget* parent);
    ~kiv_downloadpath() override;

    // Runs the dialog; the checked keys from top to bottom when accepted,
    // otherwise the pattern the dialog was opened with.
    QStringList ChoosePathSuffix();
    QString CustomText();

    // The pattern's text form: the keys, each followed by "/".
    static QStringList PatternKeys(const QString& text);
    static QString PatternText(const QStringList& keys);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void visibleLabels(QStringList lstVisibleLabel);

public slots:
    void onItemChanged(QListWidgetItem* item);
    void onItemPressed(QListWidgetItem* item);
    void stateChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();
    void ToggleClickedItem(QListWidgetItem* item);
    void FillTokens();
    void FillList();
    QString TokenLabel(const QString& key) const;
    void ShowCustomBoxFor(QListWidgetItem* item);
    QString PreviewText() const;
    void UpdatePreview();

    std::unique_ptr<Ui::kiv_download_path> ui;
    QPoint m_dragOffset;
    QList<QWidget*> m_chromeWidgets;
    QStringList m_tokenLabels;
    QStringList m_tokenKeys;
    QStringList m_pattern;
    QString m_previewPrefix;
    // The entry under the last press and its check state then.
    QListWidgetItem* m_pressedItem = nullptr;
    Qt::CheckState m_pressedState = Qt::Unchecked;
};
