#pragma once

#include <QApplication>
#include <exception>
#include <functional>

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

// The user's text for an error that reached the boundary of a user action: the core's own
// message (CP932 turned into Unicode), a file-system error with the path it concerns, or a
// plain notice for anything else, never a library's raw text alone.
QString ErrorText(const std::exception& error);

// Runs one user action; an error it throws is turned into its text and handed to `report`.
// Returns false when the action failed.
bool Guarded(const std::function<void()>& action,
             const std::function<void(const QString&)>& report);

// Shows an error text the way the top-level handler does.
void ShowError(const QString& text);

} // namespace furlox::ui
