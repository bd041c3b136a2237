#pragma once

#include <QApplication>

#include "base/ui/ErrorReport.h"

namespace furlox::ui {

// The application object. Errors never travel through the event loop: every slot where a
// user's action enters catches them (see Guarded) and reports them through its window. What
// still reaches `notify` is a bug; it is written to the log and shown, and the program goes on.
class FurloxApplication final : public QApplication
{
    Q_OBJECT
public:
    FurloxApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace furlox::ui
