#pragma once

#include <QApplication>

namespace furlox::ui {

// The top-level error handler: an operation's error is shown in a message box with its
// text, and the program goes on.
class FurloxApplication final : public QApplication
{
    Q_OBJECT
public:
    FurloxApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error text the way the top-level handler does.
void ShowError(const QString& text);

} // namespace furlox::ui
