#pragma once

#include <span>

#include "library/Migrations.h"

namespace furlox::library {

// Every step of the library's schema, numbered from 1. A new version of the schema is a new
// step at the end; a step that was released is never changed.
std::span<const MigrationStep> SchemaSteps();

// The schema version this program writes.
int SchemaVersion();

} // namespace furlox::library
