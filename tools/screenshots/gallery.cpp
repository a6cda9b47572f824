// A window dressed like the program's own, built from the real resource tree,
// style sheets and window style, so that the look can be judged in a
// screenshot before the real windows exist. Not part of the product.
//
//   quillet-gallery [photo]     (take-screenshots.sh runs it under Xvfb)

#include "shell/CustomWindowsStyle.h"
#include "shell/CBaseCorrectionGlobalData.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// B.png normal, B-active.png checked, B-disabled.png, B-hover.png active.
QIcon actionIcon(const QString& base)
{
    const QString prefix = QStringLiteral(":/icons/") + base;
    QIcon icon;
    icon.addFile(prefix + ".png", {}, QIcon::Normal, QIcon::Off);
    icon.addFile(prefix + "-active.png", {}, QIcon::Normal, QIcon::On);
    icon.addFile(prefix + "-active.png", {}, QIcon::Active, QIcon::On);
    icon.addFile(prefix + "-disabled.png", {}, QIcon::Disabled, QIcon::Off);
    icon.addFile(prefix + "-disabled.png", {}, QIcon::Disabled, QIcon::On);
    icon.addFile(prefix + "-hover.png", {}, QIcon::Active, QIcon::Off);
    return icon;
}

QToolButton* toolButton(const QString& name, QSize size, bool checkable = true)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setFixedSize(size);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* sliderRow(const QString& label, int value)
{
    auto* row = new QWidget;
    row->setObjectName("widget");
    auto* layout = new QGridLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(label), 0, 0);
    auto* field = new QWidget;
    field->setObjectName("sliderLineEditWidget");
    field->setFixedSize(44, 20);
    auto* fieldLayout = new QHBoxLayout(field);
    fieldLayout->setContentsMargins(2, 0, 2, 0);
    auto* edit = new QLineEdit(QString::number(value));
    edit->setAlignment(Qt::AlignRight);
    fieldLayout->addWidget(edit);
    layout->addWidget(field, 0, 1, Qt::AlignRight);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(-100, 100);
    slider->setValue(value);
    layout->addWidget(slider, 1, 0, 1, 2);
    return row;
}

// The frame of a correction panel: header with expand arrow, name, reset.
QWidget* panel(const QString& title, QWidget* content)
{
    auto* frame = new QWidget;
    frame->setObjectName("panelWidget");
    frame->setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 8);
    auto* header = new QWidget;
    header->setObjectName("header");
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    auto* expand = new QCheckBox;
    expand->setObjectName("checkBoxExpanded");
    expand->setChecked(true);
    expand->setFocusPolicy(Qt::NoFocus);
    headerLayout->addWidget(expand);
    auto* name = new QLabel(title);
    name->setObjectName("labelWidgetName");
    headerLayout->addWidget(name, 1);
    auto* options = new QToolButton;
    options->setObjectName("toolButtonAdditionalOptions");
    options->setFixedSize(20, 19);
    options->setStyleSheet(
        "QToolButton{background: url(:/icons/additionalOptions/show-options.png);}"
        "QToolButton:hover{background: url(:/icons/additionalOptions/show-options-hover.png);}");
    headerLayout->addWidget(options);
    auto* reset = new QPushButton;
    reset->setObjectName("pushButtonReset");
    reset->setFocusPolicy(Qt::NoFocus);
    headerLayout->addWidget(reset);
    layout->addWidget(header);
    auto* central = new QWidget;
    central->setObjectName("central");
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(12, 4, 0, 0);
    centralLayout->addWidget(content);
    layout->addWidget(central);
    return frame;
}

// The column of a panel's content, named as the style sheet expects.
QVBoxLayout* panelContentLayout(QWidget* content)
{
    content->setObjectName("widget");
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

QWidget* keystoningContent()
{
    auto* content = new QWidget;
    auto* layout = panelContentLayout(content);
    auto* tools = new QHBoxLayout;
    const char* names[] = {"verticalTool", "horizontalTool", "rectTool", "pointTool"};
    for (const char* name : names) {
        QToolButton* button = toolButton(name, QSize(39, 35));
        button->setChecked(QLatin1String(name) == QLatin1String("verticalTool"));
        tools->addWidget(button);
    }
    tools->addStretch();
    layout->addLayout(tools);
    auto* presets = new QHBoxLayout;
    QToolButton* full = toolButton("toolButtonFull", QSize(77, 25));
    full->setText("Full");
    QToolButton* natural = toolButton("toolButtonNatural", QSize(76, 25));
    natural->setText("Natural");
    natural->setChecked(true);
    presets->addWidget(full);
    presets->addWidget(natural);
    presets->addStretch();
    layout->addLayout(presets);
    layout->addWidget(sliderRow("Intensity", 75));
    layout->addWidget(sliderRow("Ratio", -12));
    return content;
}

QWidget* horizonContent()
{
    auto* content = new QWidget;
    auto* layout = panelContentLayout(content);
    auto* tools = new QHBoxLayout;
    tools->addWidget(toolButton("horizonHTool", QSize(39, 35)));
    tools->addWidget(toolButton("horizonVTool", QSize(39, 35)));
    auto* swatch = new QLabel;
    swatch->setObjectName("colorPicker");
    swatch->setFixedSize(17, 17);
    swatch->setStyleSheet("QLabel#colorPicker{background-color: #3f8fff;}");
    tools->addWidget(swatch);
    tools->addStretch();
    layout->addLayout(tools);
    layout->addWidget(sliderRow("Angle", 3));
    return content;
}

QWidget* cropContent()
{
    auto* content = new QWidget;
    auto* layout = panelContentLayout(content);
    auto* row = new QHBoxLayout;
    row->addWidget(toolButton("cropTool", QSize(39, 35)));
    auto* ratio = new QComboBox;
    ratio->addItems({"Free", "Original ratio", "3 : 2", "4 : 3", "16 : 9"});
    row->addWidget(ratio, 1);
    layout->addLayout(row);
    auto* sizes = new QHBoxLayout;
    auto* width = new QSpinBox;
    width->setRange(1, 20000);
    width->setValue(4000);
    auto* height = new QSpinBox;
    height->setRange(1, 20000);
    height->setValue(3000);
    sizes->addWidget(width);
    sizes->addWidget(new QLabel("x"));
    sizes->addWidget(height);
    layout->addLayout(sizes);
    auto* overlay = new QCheckBox("Show crop overlay");
    overlay->setChecked(true);
    layout->addWidget(overlay);
    layout->addWidget(new QCheckBox("Automatic crop after keystoning"));
    auto* disabledBox = new QCheckBox("Keep EXIF orientation");
    disabledBox->setEnabled(false);
    layout->addWidget(disabledBox);
    return content;
}

// The tool pane under the palette: the current tool, its icon and Apply.
QWidget* toolPane()
{
    auto* pane = new QWidget;
    pane->setObjectName("correctionToolPane");
    pane->setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QHBoxLayout(pane);
    auto* icon = new QLabel;
    icon->setObjectName("correctionIcon");
    icon->setFixedSize(35, 35);
    icon->setPixmap(QPixmap(":/icons/perspective/perspective-vertical-pane.png"));
    layout->addWidget(icon);
    auto* line = new QFrame;
    line->setObjectName("verticalLine");
    line->setFixedSize(2, 30);
    layout->addWidget(line);
    auto* lines = new QLabel;
    lines->setPixmap(QPixmap(":/icons/perspective/8-points-bar-ic-vertical-lines.png"));
    layout->addWidget(lines);
    auto* lines2 = new QLabel;
    lines2->setPixmap(QPixmap(":/icons/perspective/8-points-bar-ic-horizontal-lines.png"));
    layout->addWidget(lines2);
    layout->addStretch();
    auto* cancel = new QPushButton("Cancel");
    layout->addWidget(cancel);
    auto* apply = new QPushButton("Apply");
    apply->setObjectName("applyButton");
    layout->addWidget(apply);
    return pane;
}

// The photograph with four handles as the keystoning module shows them.
QGraphicsView* photoView(const QString& photoPath, const CBaseCorrectionGlobalData& handles)
{
    auto* scene = new QGraphicsScene;
    QImageReader reader(photoPath);
    reader.setAutoTransform(true);
    reader.setScaledSize(QSize(900, 600));
    QImage photo = reader.read();
    if (photo.isNull()) {
        photo = QImage(900, 600, QImage::Format_RGB32);
        photo.fill(QColor("#777777"));
    }
    const QSize size = photo.size().scaled(860, 640, Qt::KeepAspectRatio);
    scene->addPixmap(QPixmap::fromImage(photo.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    const QPolygonF quad({QPointF(size.width() * 0.22, size.height() * 0.12),
                          QPointF(size.width() * 0.78, size.height() * 0.10),
                          QPointF(size.width() * 0.84, size.height() * 0.90),
                          QPointF(size.width() * 0.16, size.height() * 0.88)});
    scene->addPolygon(quad, QPen(QColor("#3f8fff"), 1.5));
    const QPixmap* pixmaps[] = {&handles.normalPixmap, &handles.hoverPixmap, &handles.pressedPixmap,
                                &handles.focusedPixmap};
    for (int i = 0; i < 4; ++i) {
        QGraphicsPixmapItem* item = scene->addPixmap(*pixmaps[i]);
        item->setOffset(-pixmaps[i]->width() / 2.0, -pixmaps[i]->height() / 2.0);
        item->setPos(quad.at(i));
    }
    auto* view = new QGraphicsView(scene);
    view->setBackgroundBrush(QBrush(QPixmap(":/icons/background_grain.png")));
    view->setStyleSheet("QGraphicsView{background-color: rgb(83, 83, 83); border: none;"
                        " background-image: url(:/icons/background_grain.png);}");
    return view;
}

QWidget* processingBox(QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setObjectName("processingWidget");
    box->setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QLabel("Processing...");
    text->setObjectName("processLabel");
    layout->addWidget(text);
    auto* dots = new QLabel;
    dots->setObjectName("AnimatedLabel");
    dots->setPixmap(QPixmap(":/icons/processing/processing2.png"));
    layout->addWidget(dots);
    box->setFixedSize(150, 30);
    box->move(18, 18);
    return box;
}

QWidget* bottomBar()
{
    auto* bar = new QWidget;
    bar->setObjectName("bottomWidget");
    auto* layout = new QHBoxLayout(bar);
    auto* preferences = new QPushButton;
    preferences->setObjectName("pushButtonPreferences");
    layout->addWidget(preferences);
    layout->addSpacing(10);
    auto* help = new QPushButton;
    help->setObjectName("pushButtonHelp");
    layout->addWidget(help);
    layout->addStretch();
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancelButton");
    layout->addWidget(cancel);
    auto* save = new QPushButton("Save");
    save->setObjectName("saveButton");
    save->setDefault(true);
    layout->addWidget(save);
    return bar;
}

void fillToolBar(QToolBar* bar)
{
    bar->setIconSize(QSize(34, 34));
    bar->setMovable(false);
    bar->addAction(actionIcon("open/open"), "Open");
    bar->addAction(actionIcon("save/save"), "Save As");
    bar->addSeparator();
    QAction* grid = bar->addAction(actionIcon("gridOverlay/show-grid"), "Grid");
    grid->setCheckable(true);
    QAction* pointer = bar->addAction(actionIcon("fastPreview/fast-preview"), "Pointer");
    pointer->setCheckable(true);
    pointer->setChecked(true);
    QAction* hand = bar->addAction(actionIcon("handTool/hand"), "Hand");
    hand->setCheckable(true);
    bar->addSeparator();
    auto* zoom = new QWidget;
    zoom->setObjectName("widget");
    auto* zoomLayout = new QHBoxLayout(zoom);
    zoomLayout->setContentsMargins(4, 0, 4, 0);
    auto* small = new QToolButton;
    small->setObjectName("smallLoupe");
    small->setFixedSize(11, 10);
    zoomLayout->addWidget(small);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName("zoomSlider");
    slider->setFixedWidth(100);
    slider->setValue(40);
    zoomLayout->addWidget(slider);
    auto* big = new QToolButton;
    big->setObjectName("bigLoupe");
    big->setFixedSize(17, 16);
    zoomLayout->addWidget(big);
    auto* combo = new QComboBox;
    combo->addItems({"Fit", "25%", "50%", "100%", "200%"});
    combo->setFixedWidth(80);
    zoomLayout->addWidget(combo);
    zoom->setFixedWidth(250);
    bar->addWidget(zoom);
    bar->addAction(actionIcon("zoomDefault/zoom-default"), "100%");
    bar->addAction(actionIcon("fit/fit"), "Fit");
    bar->addSeparator();
    bar->addAction(actionIcon("rotation/left"), "Rotate Left");
    QAction* right = bar->addAction(actionIcon("rotation/right"), "Rotate Right");
    right->setEnabled(false);
    bar->addAction(actionIcon("singleView/show-simple"), "Single");
    QAction* dual = bar->addAction(actionIcon("doubleView/show-double"), "Double");
    dual->setCheckable(true);
    dual->setChecked(true);
}

void fillMenus(QMenuBar* menus)
{
    QMenu* file = menus->addMenu("F&ile");
    file->addAction("&Open...");
    file->addAction("Recent images");
    file->addSeparator();
    file->addAction("&Save")->setEnabled(false);
    file->addAction("Save &As...");
    menus->addMenu("&Edit");
    menus->addMenu("&Display");
    menus->addMenu("&Help");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication::setStyle(new CustomWindowsStyle);
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(":/icons/application_icon.png"));
    const QString photo = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    CBaseCorrectionGlobalData handles;
    QMainWindow window;
    window.setObjectName("MainWindow");
    window.setWindowTitle("Navik Quillet");
    window.setStyleSheet(readText(":/qss/custom.qss") + readText(":/qss/mac.qss"));
    fillMenus(window.menuBar());
    auto* toolBar = window.addToolBar("toolBar");
    fillToolBar(toolBar);

    QGraphicsView* view = photoView(photo, handles);
    processingBox(view);
    window.setCentralWidget(view);

    auto* dock = new QDockWidget("Correction");
    dock->setObjectName("dockWidgetSettings");
    auto* palette = new QWidget;
    auto* paletteLayout = new QVBoxLayout(palette);
    paletteLayout->setContentsMargins(0, 0, 0, 0);
    paletteLayout->setSpacing(2);
    paletteLayout->addWidget(panel("Perspective", keystoningContent()));
    paletteLayout->addWidget(panel("Horizon", horizonContent()));
    paletteLayout->addWidget(panel("Crop", cropContent()));
    paletteLayout->addStretch();
    paletteLayout->addWidget(toolPane());
    dock->setWidget(palette);
    dock->setMinimumWidth(300);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);

    auto* bottom = new QToolBar("bottomToolBar");
    bottom->setMovable(false);
    bottom->addWidget(bottomBar());
    window.addToolBar(Qt::BottomToolBarArea, bottom);

    window.resize(1400, 900);
    window.move(20, 20);
    window.show();
    if (qEnvironmentVariableIsSet("QUILLET_GALLERY_QUIT_AFTER_MS"))
        QTimer::singleShot(qEnvironmentVariableIntValue("QUILLET_GALLERY_QUIT_AFTER_MS"), &app, &QApplication::quit);
    return app.exec();
}
