#pragma once

class Database;

namespace Schema {
// Creates the tables that are missing; an existing database keeps its rows.
void create(Database &db);
}
