-- Before a transaction that rebuilds tables: SQLite wants foreign keys off while it runs (a
-- statement outside any transaction; the connection's own script turns them on again).
PRAGMA foreign_keys = OFF;
