// The crop settings panel in a test window dressed in the program's style
// sheets and catalogs, its ratio list opened with a custom ratio in it, and
// the W/H field of a custom entry, each written to a PNG to judge the look.
// A host of its own answers the panel: "Crop" current, manual crop, 3/2.
// Not part of the product.
//
//   quillet-croppanel <folder>    (writes crop-panel.png, crop-ratio-list.png and
//                                  crop-custom-entry.png; the language follows
//                                  LANG on a fresh home)

#include "correction/ICorrectionModuleHost.h"
#include "crop/AspectRatioComboBox.h"
#include "crop/AspectRatioModel.h"
#include "crop/CropSettings.h"
#include "shell/CustomWindowsStyle.h"
#include "utils/CLanguageManager.h"
#include "utils/StyleSheets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class Host : public QObject, public ICorrectionModuleHost, public ICropModuleState
{
    Q_OBJECT
    Q_INTERFACES(ICorrectionModuleHost)
public:
    QString id() const override { return QStringLiteral("Crop"); }
    QString cropType() const override { return QStringLiteral("manualCrop"); }
    bool isPreserveImageRatio() const override { return false; }
    qreal cropRatio() const override { return 1.5; }
    bool isConstrainToImage() const override { return true; }
    void restorePreserveImageRatio(bool) override {}

    QGraphicsItemGroup* beforeSceneItemGroup(const QString&) override { return nullptr; }
    QGraphicsItemGroup* afterSceneItemGroup(const QString&) override { return nullptr; }
    void addItemToAfterSceneGroupA(QGraphicsItem*) override {}
    void addItemToAfterSceneGroupB(QGraphicsItem*) override {}
    void deactivateAllSceneItems() override {}
    QObject* hostObject() override { return this; }
    void resetBeforeImageOpen() override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    ICorrectionModuleInterfacePtr module(const QString&) const override { return {}; }
    ICorrectionModuleInterfacePtr currentCorrectionModule() override { return {}; }
    bool isAnyModuleActive() override { return true; }
    IProcessEngine* processEngine() override { return nullptr; }
    bool isModuleActive(const QString&) override { return true; }
    QString currentCorrectionName() override { return QStringLiteral("Crop"); }
    void processModuleAction(const QString&, const QString&, const QString&) override
    {
        Q_EMIT correctionOrModuleStateIsChanged();
    }
    void announce() { Q_EMIT correctionOrModuleStateIsChanged(); }

Q_SIGNALS:
    void correctionOrModuleStateIsChanged();
};

} // namespace

int main(int argc, char** argv)
{
    QApplication::setStyle(new CustomWindowsStyle);
    QApplication app(argc, argv);
    NAVIK_tarl1::CLanguageManager::instance()->loadLanguageForApp();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    Host host;
    QWidget window;
    window.setObjectName(QStringLiteral("MainWindow"));
    NAVIK_tarl1::setCustomStyleSheet(&window);
    window.setFixedWidth(360);
    auto* layout = new QVBoxLayout(&window);
    auto* panel = new CCropSettings(&host, &host, &window);
    layout->addWidget(panel);
    layout->addStretch(1);

    // One custom ratio, typed as a user would add it.
    AspectRatioModel* model = panel->ui().comboBoxAspectRatio->model();
    if (model->rowCount() == model->addCustomRowIndex() + 1) {
        model->insertRows(model->addCustomRowIndex() + 1, 1);
        model->setData(model->index(model->addCustomRowIndex() + 1, 0), QStringLiteral("7/3"));
    }
    host.announce();
    window.resize(360, 180);
    window.show();

    QTimer::singleShot(300, [&] {
        window.grab().save(folder.filePath(QStringLiteral("crop-panel.png")));
        panel->ui().comboBoxAspectRatio->comboBox()->showPopup();
        QTimer::singleShot(300, [&] {
            QWidget* popup = panel->ui().comboBoxAspectRatio->comboBox()->view()->window();
            popup->grab().save(folder.filePath(QStringLiteral("crop-ratio-list.png")));
            QComboBox* combo = panel->ui().comboBoxAspectRatio->comboBox();
            combo->hidePopup();
            combo->setCurrentIndex(model->addCustomRowIndex());
            QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, model->addCustomRowIndex()));
            QTimer::singleShot(300, [&] {
                window.grab().save(folder.filePath(QStringLiteral("crop-custom-entry.png")));
                app.quit();
            });
        });
    });
    return app.exec();
}

#include "croppanel.moc"
