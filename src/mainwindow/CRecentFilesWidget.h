#pragma once

// The start page: the grain background with its framed panel
// (RecentFilesBackgroundWidget), the grid of recent pictures over it
// (CRecentFilesWidget) and the painting of its cells (CRecentFilesDelegate).

#include <QItemDelegate>
#include <QList>
#include <QPixmap>
#include <QTableView>
#include <QWidget>

class CRecentFilesModel;
class IRecentFilesProviderInterface;

class CRecentFilesWidget : public QTableView
{
    Q_OBJECT
public:
    explicit CRecentFilesWidget(QWidget* parent = nullptr);

    // Builds the model over the provider's list; called once.
    void setRecentFilesProvider(IRecentFilesProviderInterface* provider);
    CRecentFilesModel* recentFilesModel() const;

Q_SIGNALS:
    // The last cell asks for another file.
    void openOtherFile();

protected:
    // Every show reads the thumbnails again.
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void onItemActivated(const QModelIndex& index);

private:
    IRecentFilesProviderInterface* m_provider = nullptr;
    CRecentFilesModel* m_model = nullptr;
};

class CRecentFilesDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit CRecentFilesDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

public Q_SLOTS:
    // A thumbnail's tip is its file name.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    QList<QPixmap> m_shadow;
};

class RecentFilesBackgroundWidget : public QWidget
{
    Q_OBJECT
public:
    RecentFilesBackgroundWidget();
    explicit RecentFilesBackgroundWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
