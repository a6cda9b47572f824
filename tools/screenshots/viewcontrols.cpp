// The view's controls in one test window, dressed in the program's style
// sheets and catalogs, to judge their look in a screenshot: the halo of a
// single view and of a before/after pair, the start hint, a correction panel
// frame with slider rows, a dropdown and a progress bar. No view of the
// program installs the halo or the hint. Not part of the product.
//
//   quillet-viewcontrols      (take-screenshots.sh runs it under Xvfb;
//                              the language follows LANG on a fresh home)

#include "shell/CustomWindowsStyle.h"
#include "utils/CLanguageManager.h"
#include "utils/StyleSheets.h"
#include "view/COutsidePanelWidget.h"
#include "view/CSlider.h"
#include "view/Dropdown.h"
#include "view/HaloDrawer.h"
#include "view/SmallControls.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A view's background: grey 68, the halo, and the start hint over it.
class ViewBackground : public QWidget
{
public:
    ViewBackground(int mode, bool hint) : m_hint(hint) { m_halo.setMode(mode); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter(this).fillRect(rect(), QColor(68, 68, 68));
        m_halo.draw(event, rect(), this);
        if (m_hint)
            m_hintDrawer.drawText(this);
    }

private:
    CHaloDrawer m_halo;
    CStartTextDrawer m_hintDrawer;
    bool m_hint;
};

class SettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsWidget(QWidget* parent) : QWidget(parent)
    {
        setProperty("ShowHideController", true);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(6, 0, 6, 6);
        const SSliderParams rows[] = {
            {QCoreApplication::translate("CPreviewSettingsWidget", "Rotation"), -900, 900, 0, 1, true, 1.0},
            {QStringLiteral("Up / Down"), -125, 125, 0, 1, false, 1.0},
            {QStringLiteral(" Left / Right"), -125, 125, 0, 1, false, 1.0},
            {QStringLiteral("Horizontal / Vertical Ratio"), -100, 100, 0, 1, false, 1.0},
            {QStringLiteral("Intensity"), 0, 100, 100, 1, false, 1.0},
        };
        const int values[] = {-125, 37, 0, -12, 100};
        for (int i = 0; i < 5; ++i) {
            auto* row = new CSlider(this);
            row->setObjectName(QStringLiteral("row%1").arg(i));
            row->initialize(rows[i]);
            row->setValue(values[i], false);
            layout->addWidget(row);
        }
        auto* dropdown = new DropdownMenu(this, QStringLiteral("Custom"),
                                          QSharedPointer<QValidator>(new QIntValidator(1, 99)));
        dropdown->setModel(&m_model);
        dropdown->comboBox()->setCurrentIndex(2);
        layout->addWidget(dropdown);
        auto* progress = new CProgressBar(this);
        progress->setFixedHeight(18);
        progress->setProgress(3 * 1048576 + 400000, 8 * 1048576);
        layout->addWidget(progress);
    }

signals:
    void enableAdditionalHeaderControl(bool enabled);

public slots:
    void onShowAdditionalOptions(bool) {}
    void onToolWasActivated(bool) {}
    void onAdditionalHeaderButtonClicked() {}
    void onResetForNewImage() {}

private:
    class Model : public AbstractDropdownModel
    {
    public:
        Model() : AbstractDropdownModel(QStringList({"Custom…", "", "4 × 3", "3 × 2", "16 × 9"})) {}
        int separatorRow() const override { return 1; }
        int rowOfValue(const QVariant&) const override { return -1; }
        QVariant valueOfRow(int row) const override { return row; }
        int editingRow() const override { return 0; }
        void setCustomValue(const QVariant&) override {}
        QVariant data(const QModelIndex& index, int role) const override
        {
            return AbstractDropdownModel::data(index, role);
        }
    } m_model;
};

class Module : public QObject, public ICorrectionPanelModule
{
    Q_OBJECT
public:
    QByteArray serialize() override { return {}; }
    void deserialize(const QByteArray&, bool) override {}
    bool isEqual(const QByteArray&, const QByteArray&) override { return true; }
    QString id() const override { return QStringLiteral("Keystoning"); }
    QObject* moduleObject() override { return this; }
    QWidget* createSettingsWidget(QWidget* parent) override { return new SettingsWidget(parent); }
    QString moduleDisplayName() const override { return QStringLiteral("PERSPECTIVE"); }
    bool isModuleActive() override { return true; }

signals:
    void resetForNewImageSignal();
};

} // namespace

int main(int argc, char** argv)
{
    QApplication::setStyle(new CustomWindowsStyle);
    QApplication app(argc, argv);
    NAVIK_tarl1::CLanguageManager::instance()->loadLanguageForApp();

    QMainWindow window;
    window.setObjectName(QStringLiteral("MainWindow"));
    window.setWindowTitle(QStringLiteral("View controls"));
    NAVIK_tarl1::setCustomStyleSheet(&window);
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);

    auto* views = new QVBoxLayout;
    auto* single = new ViewBackground(2, true);
    single->setMinimumSize(560, 300);
    views->addWidget(single);
    auto* pair = new QHBoxLayout;
    pair->setSpacing(0);
    for (int mode : {0, 1}) {
        auto* half = new ViewBackground(mode, false);
        half->setMinimumSize(280, 260);
        pair->addWidget(half);
    }
    views->addLayout(pair);
    layout->addLayout(views, 1);

    auto* column = new QWidget;
    column->setFixedWidth(360);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new COutsidePanelWidget(column);
    panel->setCorrectionModule(std::make_shared<Module>(), nullptr);
    columnLayout->addWidget(panel);
    columnLayout->addStretch(1);
    layout->addWidget(column);

    window.setCentralWidget(central);
    window.resize(960, 620);
    window.show();
    return app.exec();
}

#include "viewcontrols.moc"
