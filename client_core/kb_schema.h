// Layout of the knowledge-base file: its marks and the creation or check of its tables.
#pragma once

#include <sqlite3.h>

namespace brelm_core {

// Stored in the SQLite header (PRAGMA application_id and user_version).
const int kKbApplicationId = 0x42524B42;  // "BRKB"
const int kKbSchemaVersion = 1;

// Creates the tables in an empty database, or checks that a non-empty one is a knowledge base
// of this layout. Throws ComError with the reason.
void EnsureKnowledgeBaseSchema(sqlite3* db);

}  // namespace brelm_core
