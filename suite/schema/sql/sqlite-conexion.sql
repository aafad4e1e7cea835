-- Every connection of the suite: SQLite enforces the declared references only when asked.
PRAGMA foreign_keys = ON;
