// The SQLite component: read-only database objects over a notebook file, and their recordsets.
#pragma once

#include "brelm_sqlite_interfaces.h"

namespace brelm_core {

// A new, unopened database object with one reference.
HRESULT CreateSQLiteDatabase(IBrelmSQLiteDatabase** database);

}  // namespace brelm_core
