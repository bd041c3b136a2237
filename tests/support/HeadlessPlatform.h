#pragma once

#include <QtGlobal>

namespace furlox::test {

// The window tests draw without a screen: Qt's "offscreen" platform, or the one the test run
// names in QT_QPA_PLATFORM (under Wine the Qt built for Windows has "minimal" instead).
inline void ChooseHeadlessPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace furlox::test
