#pragma once

#include <QString>
#include <exception>
#include <functional>

// How every window reports an error at the slot where a user's action enters.
namespace furlox::ui {

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
