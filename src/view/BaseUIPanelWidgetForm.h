#pragma once

// The form of the correction panel frame: a 30-pixel header (expand arrow,
// the enable check box, the module's name, an optional extra button and the
// reset button), the central area that receives the module's settings widget
// and a thin strip with the button that shows or hides the additional options.

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

class Ui_baseUIPanelWidget
{
public:
    QVBoxLayout* verticalLayout_3 = nullptr;
    QFrame* panelWidget = nullptr;
    QVBoxLayout* verticalLayout_2 = nullptr;
    QWidget* header = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QCheckBox* checkBoxExpanded = nullptr;
    QCheckBox* checkBoxEnabled = nullptr;
    QLabel* labelWidgetName = nullptr;
    QSpacerItem* horizontalSpacer = nullptr;
    QPushButton* additionalHeaderControl = nullptr;
    QPushButton* pushButtonReset = nullptr;
    QWidget* central = nullptr;
    QVBoxLayout* verticalLayout = nullptr;
    QWidget* expandingWidget = nullptr;
    QHBoxLayout* horizontalLayout_3 = nullptr;
    QSpacerItem* horizontalSpacer_2 = nullptr;
    QToolButton* toolButtonAdditionalOptions = nullptr;

    void setupUi(QWidget* form)
    {
        form->setObjectName(QStringLiteral("baseUIPanelWidget"));
        form->resize(261, 125);
        form->setMinimumSize(0, 0);
        form->setMaximumSize(16777215, 16777215);
        // The key of the panel's state; the owner appends the module id.
        form->setProperty("GUID", QStringLiteral("{CDE1FBB4-15D8-4F00-A3B7-B6C1F87602CE}"));

        verticalLayout_3 = new QVBoxLayout(form);
        verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
        verticalLayout_3->setSpacing(0);
        verticalLayout_3->setContentsMargins(0, 0, 0, 0);

        panelWidget = new QFrame(form);
        panelWidget->setObjectName(QStringLiteral("panelWidget"));
        panelWidget->setLineWidth(0);
        verticalLayout_2 = new QVBoxLayout(panelWidget);
        verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
        verticalLayout_2->setSpacing(0);
        verticalLayout_2->setContentsMargins(0, 0, 0, 0);

        header = new QWidget(panelWidget);
        header->setObjectName(QStringLiteral("header"));
        header->setMinimumHeight(30);
        header->setMaximumHeight(30);
        horizontalLayout = new QHBoxLayout(header);
        horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
        horizontalLayout->setSpacing(4);
        horizontalLayout->setContentsMargins(4, 3, 8, 3);

        checkBoxExpanded = new QCheckBox(header);
        checkBoxExpanded->setObjectName(QStringLiteral("checkBoxExpanded"));
        checkBoxExpanded->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        checkBoxExpanded->setMaximumWidth(10);
        checkBoxExpanded->setFocusPolicy(Qt::NoFocus);
        horizontalLayout->addWidget(checkBoxExpanded);

        checkBoxEnabled = new QCheckBox(header);
        checkBoxEnabled->setObjectName(QStringLiteral("checkBoxEnabled"));
        checkBoxEnabled->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        checkBoxEnabled->setMinimumSize(11, 12);
        checkBoxEnabled->setMaximumSize(11, 12);
        checkBoxEnabled->setFocusPolicy(Qt::NoFocus);
        horizontalLayout->addWidget(checkBoxEnabled);

        labelWidgetName = new QLabel(header);
        labelWidgetName->setObjectName(QStringLiteral("labelWidgetName"));
        horizontalLayout->addWidget(labelWidgetName);

        horizontalSpacer = new QSpacerItem(20, 10, QSizePolicy::Expanding, QSizePolicy::Minimum);
        horizontalLayout->addItem(horizontalSpacer);

        additionalHeaderControl = new QPushButton(header);
        additionalHeaderControl->setObjectName(QStringLiteral("additionalHeaderControl"));
        additionalHeaderControl->setMinimumSize(22, 21);
        additionalHeaderControl->setMaximumSize(22, 21);
        additionalHeaderControl->setIconSize(QSize(22, 21));
        additionalHeaderControl->setFocusPolicy(Qt::NoFocus);
        horizontalLayout->addWidget(additionalHeaderControl);

        pushButtonReset = new QPushButton(header);
        pushButtonReset->setObjectName(QStringLiteral("pushButtonReset"));
        pushButtonReset->setMinimumSize(22, 21);
        pushButtonReset->setMaximumSize(22, 21);
        pushButtonReset->setIconSize(QSize(12, 12));
        pushButtonReset->setFocusPolicy(Qt::NoFocus);
        horizontalLayout->addWidget(pushButtonReset);

        verticalLayout_2->addWidget(header);

        central = new QWidget(panelWidget);
        central->setObjectName(QStringLiteral("central"));
        central->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        verticalLayout = new QVBoxLayout(central);
        verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
        verticalLayout->setSpacing(0);
        int left = 0;
        int right = 0;
        verticalLayout->getContentsMargins(&left, nullptr, &right, nullptr);
        verticalLayout->setContentsMargins(left, 3, right, 0);
        verticalLayout_2->addWidget(central);

        expandingWidget = new QWidget(panelWidget);
        expandingWidget->setObjectName(QStringLiteral("expandingWidget"));
        expandingWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        expandingWidget->setMinimumSize(0, 0);
        expandingWidget->setMaximumHeight(19);
        horizontalLayout_3 = new QHBoxLayout(expandingWidget);
        horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
        horizontalLayout_3->setSpacing(0);
        horizontalLayout_3->setContentsMargins(0, 0, 0, 3);
        horizontalSpacer_2 = new QSpacerItem(233, 1, QSizePolicy::Expanding, QSizePolicy::Minimum);
        horizontalLayout_3->addItem(horizontalSpacer_2);
        toolButtonAdditionalOptions = new QToolButton(expandingWidget);
        toolButtonAdditionalOptions->setObjectName(QStringLiteral("toolButtonAdditionalOptions"));
        toolButtonAdditionalOptions->setMinimumSize(20, 19);
        toolButtonAdditionalOptions->setMaximumSize(20, 19);
        toolButtonAdditionalOptions->setIconSize(QSize(20, 19));
        toolButtonAdditionalOptions->setFocusPolicy(Qt::NoFocus);
        horizontalLayout_3->addWidget(toolButtonAdditionalOptions);
        verticalLayout_2->addWidget(expandingWidget);

        verticalLayout_3->addWidget(panelWidget);

        retranslateUi(form);
        QMetaObject::connectSlotsByName(form);
    }

    void retranslateUi(QWidget* form)
    {
        form->setWindowTitle(QStringLiteral("Form"));
        labelWidgetName->setText(QStringLiteral("BaseUiWidgetName"));
        pushButtonReset->setToolTip(QCoreApplication::translate("baseUIPanelWidget", "Reset correction"));
    }
};
