#include <gtest/gtest.h>

#include <QApplication>

#include "ui/HintTiming.h"
#include "ui/QtTranslations.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    quellor::ui::ApplyHintTiming();
    quellor::ui::InstallQtTranslations();
    return RUN_ALL_TESTS();
}
