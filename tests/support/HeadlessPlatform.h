#pragma once

#include <QtGlobal>

namespace furlox::test {

// The window tests draw without a screen: Qt's "offscreen" platform, or the one the test run
// names in QT_QPA_PLATFORM. (Under Wine, which passes no QT_* variable on, the test run names
// Qt's "windows" platform with -platform instead: the Windows Qt has no "offscreen".)
inline void ChooseHeadlessPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace furlox::test
